// SpectrumAnalyser: the history is summed in single precision in slot order,
// each entry scaled by 1/count, so the values match the effects' tuning.
#include "effects/AudioAnalyser.h"

#include <algorithm>

namespace {
const int kSpectrumSize = 512;
const int kSummedBins = 511;
} // namespace

SpectrumAnalyser::SpectrumAnalyser(int count_, SpectrumSource spectrum, DeltaTimeSource deltaTime)
    : count(count_ < 1 ? 1 : count_),
      history(static_cast<size_t>(count), 0.0f),
      spectrum_(spectrum),
      deltaTime_(deltaTime) {}

float SpectrumAnalyser::sample() {
    float buffer[kSpectrumSize] = {};
    if (spectrum_) spectrum_(buffer, kSpectrumSize);
    float sum = 0.0f;
    for (int i = 0; i < kSummedBins; ++i) sum += buffer[i];

    std::rotate(history.begin(), history.begin() + 1, history.end());
    history.back() = sum;

    const float weight = 1.0f / static_cast<float>(count);
    float mean = 0.0f;
    for (float entry : history) mean += entry * weight;
    return mean;
}

float SpectrumAnalyser::level() {
    const float dt = deltaTime_ ? deltaTime_() : 0.0f;
    peak = peak - dt * 0.25f * 5.0f;
    const float s = sample();
    if (peak < s) peak = s;
    return peak;
}
