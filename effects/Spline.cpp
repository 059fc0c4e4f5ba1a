// Catmull-Rom evaluation of the control points built from the pending list.
#include "effects/Spline.h"

#include <algorithm>
#include <cmath>

Spline::~Spline() { release(); }

void Spline::addPoint(const stm::Vector3& p) { pending_.add(p); }

void Spline::build() {
    release();
    count_ = static_cast<int>(pending_.size());
    if (count_ > 0) {
        points_ = new stm::Vector3[count_];
        std::copy(pending_.data(), pending_.data() + count_, points_);
    }
    pending_.clear();
}

void Spline::release() {
    delete[] points_;
    points_ = nullptr;
    count_ = 0;
}

stm::Vector3 Spline::evaluate(float t) const {
    if (count_ == 0) return stm::Vector3();
    if (!(t >= 0.0f)) t = 0.0f; // also catches NaN
    if (t > 1.0f) t = 1.0f;

    // Segment s runs from points[s] to points[s + 1]; with four or more points
    // the last one is s = count - 3, and t = 1 stays on it with u = 1 instead
    // of stepping onto a segment whose end neighbour lies past the array.
    const float c = static_cast<float>(count_ - 3) * t;
    int s = static_cast<int>(std::floor(c)) + 1;
    float u = c - std::floor(c);
    if (count_ < 4) {
        s = 1;
        u = t;
    } else if (s > count_ - 3) {
        s = count_ - 3;
        u = 1.0f;
    }

    // Short curves repeat their end points for the missing neighbours.
    auto at = [this](int i) { return points_[count_ < 4 ? std::clamp(i, 0, count_ - 1) : i]; };
    const stm::Vector3 p0 = at(s - 1), p1 = at(s), p2 = at(s + 1), p3 = at(s + 2);
    const float u2 = u * u, u3 = u2 * u;
    return (p1 * 2.0f + (p2 - p0) * u + (p0 * 2.0f - p1 * 5.0f + p2 * 4.0f - p3) * u2 +
            (-p0 + p1 * 3.0f - p2 * 3.0f + p3) * u3) *
           0.5f;
}
