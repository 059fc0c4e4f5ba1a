// Effect: position and fade arithmetic shared by all effects.
#include "effects/Effect.h"

bool g_replayingFrames = false;

float FadeRule::apply(float position) const {
    float fade = 1.0f;
    if (hasIn && position >= 0.0f && position <= inWindow) fade = position / inWindow;
    if (hasOut && position >= outFrom && position <= 1.0f) {
        const float span = 1.0f - outFrom;
        fade = fade * (1.0f - (position - outFrom) / span);
    }
    return fade;
}

float effectPosition(float time, unsigned long start, unsigned long end) {
    // Spans are 32-bit on the original platform; unsigned arithmetic keeps a
    // reversed span from going negative, as there.
    const unsigned int first = static_cast<unsigned int>(start);
    const unsigned int span = static_cast<unsigned int>(end) - first;
    if (span == 0) return 0.0f;
    return static_cast<float>((static_cast<double>(time) - first) / span);
}

void Effect::draw() {
    const float position = effectPosition(time, start, end);
    render(position, fadeRule.apply(position));
}
