// Spline: a Catmull-Rom curve through a list of control points, evaluated
// over its whole length by one parameter t in 0..1. Used for the flower
// tubes and the growing primitives' paths.
#pragma once

#include "core/Array.h"
#include "engine/stagemill.h"

class Spline {
public:
    Spline() = default;
    ~Spline();
    Spline(const Spline&) = delete;
    Spline& operator=(const Spline&) = delete;

    // Appends to the points waiting for the next build().
    void addPoint(const stm::Vector3& p);
    // Replaces the control points with the pending ones, in the order added,
    // and empties the pending list.
    void build();
    // The curve at t, clamped to 0..1 (NaN counts as 0). The first and last
    // control points only steer the ends: t = 0 gives points[1] and t = 1
    // gives points[count - 2]. A curve needs four points; with fewer, the
    // missing neighbours repeat the nearest end point (one point gives that
    // point, three run from points[1] to points[2]) and none gives zero.
    // Never reads outside the control points.
    stm::Vector3 evaluate(float t) const;
    // Frees the control points; count becomes 0. Pending points are kept.
    void release();

    int getCount() const { return count_; }
    const stm::Vector3* getPoints() const { return points_; }

private:
    int count_ = 0;
    stm::Vector3* points_ = nullptr;
    stm::Array<stm::Vector3> pending_;
};
