// The song's time grid: 129.5 beats per minute, beat n starting at
// (n * 463320 - 350) microseconds. Every event position is computed from this
// formula directly (never by accumulating beat lengths), so nothing drifts.
#pragma once

#include <cmath>
#include <cstdint>

#include "Dsp.h"

namespace songsynth {

constexpr double kMicrosPerBeat = 463320.0;
constexpr double kOffsetMicros = 350.0;

// Sample index of a (fractional) beat position: round(seconds * 44100).
inline int64_t beatToSample(double beat) {
    return std::llround((beat * kMicrosPerBeat - kOffsetMicros) / 1e6 * kSampleRate);
}

// Beat position of a sample index; inverse of beatToSample up to rounding.
inline double sampleToBeat(int64_t sample) {
    return (double(sample) / kSampleRate * 1e6 + kOffsetMicros) / kMicrosPerBeat;
}

inline int64_t msToSample(double ms) { return std::llround(ms / 1000.0 * kSampleRate); }

} // namespace songsynth
