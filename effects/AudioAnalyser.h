// SpectrumAnalyser: turns the engine's spectrum of the music into two loudness
// signals for the effects: sample(), the mean of the last `count` spectrum
// sums, and level(), a peak that falls by 1.25 per second. Every call of
// either advances the history by one spectrum.
#pragma once

#include "engine/stagemill.h"

#include <vector>

class SpectrumAnalyser {
public:
    typedef void (*SpectrumSource)(float* buffer, int count);
    typedef float (*DeltaTimeSource)();

    // `count` history slots (at least 1). The sources default to the engine's
    // spectrum and frame time; tests pass their own.
    explicit SpectrumAnalyser(int count_, SpectrumSource spectrum = &stmGetSpectrum,
                              DeltaTimeSource deltaTime = &stmGetDeltaTime);

    // Pushes the sum of spectrum bins 0..510 and returns the history's mean.
    float sample();
    // The peak after this frame's decay, raised to a new sample() if higher.
    float level();

    int count;
    std::vector<float> history; // oldest first
    float peak = 0.0f;

private:
    SpectrumSource spectrum_;
    DeltaTimeSource deltaTime_;
};
