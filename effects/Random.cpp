// The shared generator: a two-term recurrence on one unsigned 32-bit state,
// scaled by a factor slightly above 2^-32.
#include "effects/Random.h"

#include <cmath>

namespace {
unsigned int g_randomState = kRandomInitialState;
const float kPi = 3.141592f;
} // namespace

float frand() {
    g_randomState = (g_randomState & 1u) * 0x5EB0A82Fu - (g_randomState >> 1) * 0x429EAF9Du;
    return static_cast<float>(g_randomState * 2.3283064392492017e-10);
}

void seedRandom(unsigned int seed) { g_randomState = seed; }

unsigned int randomState() { return g_randomState; }

float frandRange(float x) { return x <= 0.0f ? 0.0f : x * frand(); }

stm::Vector sphericalToCartesian(float r, float theta, float phi) {
    const float s = std::sin(theta);
    return stm::Vector(r * s * std::cos(phi), r * s * std::sin(phi), r * std::cos(theta));
}

stm::Vector randomVector() {
    const float z = frand() - 0.5f;
    const float y = frand() - 0.5f;
    const float x = frand() - 0.5f;
    return stm::Vector(x, y, z);
}

stm::Vector randomVectorScaled(float sx, float sy, float sz) {
    const float z = (frand() - 0.5f) * sz;
    const float y = (frand() - 0.5f) * sy;
    const float x = (frand() - 0.5f) * sx;
    return stm::Vector(x, y, z);
}

stm::Vector randomVector01() {
    const float z = frand();
    const float y = frand();
    const float x = frand();
    return stm::Vector(x, y, z);
}

stm::Vector randomUnitVector() {
    const float r1 = frand();
    const float r2 = frand();
    return sphericalToCartesian(1.0f, 2.0f * kPi * r2, kPi * r1);
}

stm::Vector randomCircleVector() {
    const float a = 2.0f * kPi * frand();
    return stm::Vector(std::cos(a), 0.0f, std::sin(a));
}
