// Box bounds and the clip-volume test.
#include "scene/Bounds.h"

#include <cmath>

void Box::include(float x, float y, float z) {
    const float p[3] = {x, y, z};
    for (int i = 0; i < 3; ++i) {
        if (empty || p[i] < min[i]) min[i] = p[i];
        if (empty || p[i] > max[i]) max[i] = p[i];
    }
    empty = false;
}

void Box::include(const Box& other) {
    unbounded = unbounded || other.unbounded;
    if (other.empty) return;
    include(other.min[0], other.min[1], other.min[2]);
    include(other.max[0], other.max[1], other.max[2]);
}

bool boxOutsideClipVolume(const float clip[16], const Box& box) {
    if (box.empty || box.unbounded) return false;
    // Bit 2k: beyond -w on axis k; bit 2k+1: beyond +w. A plane is kept
    // while every corner so far lies beyond it.
    unsigned beyondAll = 0x3F;
    for (int corner = 0; corner < 8 && beyondAll; ++corner) {
        const float v[3] = {(corner & 1) ? box.max[0] : box.min[0], (corner & 2) ? box.max[1] : box.min[1],
                            (corner & 4) ? box.max[2] : box.min[2]};
        float c[4];
        for (int row = 0; row < 4; ++row)
            c[row] = clip[row] * v[0] + clip[4 + row] * v[1] + clip[8 + row] * v[2] + clip[12 + row];
        const float w = c[3];
        unsigned beyond = 0;
        for (int axis = 0; axis < 3; ++axis) {
            const float x = c[axis];
            if (!std::isfinite(x) || !std::isfinite(w)) return false;
            const float margin = 1e-3f * (std::fabs(w) + std::fabs(x)) + 1e-6f;
            if (x + w < -margin) beyond |= 1u << (2 * axis);
            if (w - x < -margin) beyond |= 1u << (2 * axis + 1);
        }
        beyondAll &= beyond;
    }
    return beyondAll != 0;
}
