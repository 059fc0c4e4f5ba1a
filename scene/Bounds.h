// Axis-aligned boxes of mesh positions and the test that finds a box wholly
// outside the clip volume, so that a draw which cannot touch a pixel can be
// left out. Pure arithmetic: the GL side reads the matrices.
#pragma once

struct Box {
    // Empty until a point is included. An empty box is never outside, and
    // neither is an unbounded one (whose points are not all known).
    float min[3] = {0.0f, 0.0f, 0.0f};
    float max[3] = {0.0f, 0.0f, 0.0f};
    bool empty = true;
    bool unbounded = false;

    void include(float x, float y, float z);
    void include(const Box& other);
};

// True when every corner of `box`, taken through `clip` (a column-major 4x4
// matrix, projection x modelview, as OpenGL stores them), lies beyond one and
// the same of the six planes -w <= x, y, z <= w, with a margin of 1e-3 of
// |w| + |coordinate| for rounding. Every point of the box is then outside
// that plane too, so nothing drawn inside it survives clipping. False for an
// empty or unbounded box and for corners with non-finite coordinates.
bool boxOutsideClipVolume(const float clip[16], const Box& box);
