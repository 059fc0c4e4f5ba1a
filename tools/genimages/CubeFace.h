// The OpenGL cube-map face convention in both directions: the direction a
// texel of a face looks along, and the face and texel a direction lands on.
// The generators paint faces from a direction function with it, which makes
// them meet without seams; the members test uses it to check that they do.
#pragma once

#include <cmath>

namespace cubeface {

// Face order 0 +X, 1 -X, 2 +Y, 3 -Y, 4 +Z, 5 -Z. s and t run 0..1 with t = 0
// on the first (top) row of the image, as the faces are uploaded.
inline void direction(int face, float s, float t, float d[3]) {
    float u = 2 * s - 1, v = 2 * t - 1;
    switch (face) {
    case 0:
        d[0] = 1;
        d[1] = -v;
        d[2] = -u;
        break;
    case 1:
        d[0] = -1;
        d[1] = -v;
        d[2] = u;
        break;
    case 2:
        d[0] = u;
        d[1] = 1;
        d[2] = v;
        break;
    case 3:
        d[0] = u;
        d[1] = -1;
        d[2] = -v;
        break;
    case 4:
        d[0] = u;
        d[1] = -v;
        d[2] = 1;
        break;
    default:
        d[0] = -u;
        d[1] = -v;
        d[2] = -1;
        break;
    }
    float l = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    d[0] /= l;
    d[1] /= l;
    d[2] /= l;
}

// The face a direction selects (largest component) and its s, t there.
inline int lookup(const float d[3], float& s, float& t) {
    float ax = std::fabs(d[0]), ay = std::fabs(d[1]), az = std::fabs(d[2]);
    int face;
    float sc, tc, ma;
    if (ax >= ay && ax >= az) {
        face = d[0] > 0 ? 0 : 1;
        ma = ax;
        sc = d[0] > 0 ? -d[2] : d[2];
        tc = -d[1];
    } else if (ay >= az) {
        face = d[1] > 0 ? 2 : 3;
        ma = ay;
        sc = d[0];
        tc = d[1] > 0 ? d[2] : -d[2];
    } else {
        face = d[2] > 0 ? 4 : 5;
        ma = az;
        sc = d[2] > 0 ? d[0] : -d[0];
        tc = -d[1];
    }
    s = (sc / ma + 1) * 0.5f;
    t = (tc / ma + 1) * 0.5f;
    return face;
}

// Face index of a member name's suffix: "px" 0, "nx" 1, "py" 2, "ny" 3,
// "pz" 4, "nz" 5 (the name may carry a prefix such as "dark_"); -1 otherwise.
inline int faceOfName(const char* name) {
    const char* faces[6] = {"px.png", "nx.png", "py.png", "ny.png", "pz.png", "nz.png"};
    size_t n = 0;
    while (name[n]) ++n;
    if (n < 6) return -1;
    for (int f = 0; f < 6; ++f) {
        const char* a = name + n - 6;
        const char* b = faces[f];
        while (*b && *a == *b) {
            ++a;
            ++b;
        }
        if (!*b) return f;
    }
    return -1;
}

} // namespace cubeface
