// Easing curves: constants as the effects were tuned with them (pi as
// 3.141592, a quarter turn as 1.5707963).
#include "effects/Easing.h"

#include <GL/gl.h>
#include <cmath>

float clampf(float x, float lo, float hi) {
    if (lo > x) return lo;
    if (hi < x) return hi;
    return x;
}

float absf(float x) { return std::fabs(x); }

float linearStep(float x, float lo, float hi) {
    if (x <= lo) return 0.0f;
    if (x >= hi) return 1.0f;
    return (x - lo) / (hi - lo);
}

float smoothStep(float x, float lo, float hi) {
    if (x < lo) return 0.0f;
    if (x >= hi) return 1.0f;
    const float f = clampf((x - lo) / (hi - lo), 0.0f, 1.0f);
    return f * f * (3.0f - 2.0f * f);
}

float easeInSine(float x, float lo, float hi) {
    if (x <= lo) return 0.0f;
    if (x >= hi) return 1.0f;
    const float v = 1.0f - std::cos(linearStep(x, lo, hi) * 1.5707963f);
    return v < 0.001f ? 0.0f : v;
}

namespace {
float bounce(float u) {
    if (u < 0.36363636363636365f) return 7.5625f * u * u;
    if (u < 0.7272727272727273f) {
        u -= 0.54545456f;
        return 7.5625f * u * u + 0.75f;
    }
    if (u < 0.9090909090909091f) {
        u -= 0.8181818f;
        return 7.5625f * u * u + 0.9375f;
    }
    u -= 0.95454544f;
    return 7.5625f * u * u + 0.984375f;
}
} // namespace

float bounceStep(float x, float lo, float hi) {
    const float u = (x - lo) / (hi - lo);
    return lo + (hi - lo) * bounce(u);
}

float easeInBack(float x, float lo, float hi) {
    const float u = (clampf(x, lo, hi) - lo) / (hi - lo);
    return lo + u * u * (2.70158f * u - 1.70158f);
}

float easeOutElastic(float x, float lo, float hi, float amplitude, float period) {
    const float c = clampf(x, lo, hi) - lo;
    if (c == 0.0f) return lo;
    const float d = hi - lo;
    const float u = c / d;
    if (period == 0.0f) period = d * 0.3f;
    if (u == 1.0f) return lo + 1.0f;
    float s;
    if (amplitude < 1.0f) {
        amplitude = 1.0f;
        s = period * 0.25f;
    } else {
        s = std::asin(1.0f / amplitude) * period / 6.283185f;
    }
    return lo + (amplitude * std::pow(2.0f, -10.0f * u) * std::sin((d * u - s) * 6.283185f / period) + 1.0f);
}

stm::Vector3 lerpVector3(float t, const stm::Vector3& a, const stm::Vector3& b) { return a + (b - a) * t; }

void getViewAxes(stm::Vector3& right, stm::Vector3& up, stm::Vector3& back) {
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    right = stm::Vector3(m[0], m[4], m[8]);
    up = stm::Vector3(m[1], m[5], m[9]);
    back = stm::Vector3(m[2], m[6], m[10]);
}
