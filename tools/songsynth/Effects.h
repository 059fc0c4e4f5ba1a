// The master bus effects: a ping-pong delay and a plate-like reverb fed by the
// tracks' sends, and the lookahead limiter that makes the mix loud without
// ever exceeding its ceiling.
#pragma once

#include <cstdint>
#include <vector>

#include "Dsp.h"

namespace songsynth {

// Stereo ping-pong echo: the mono sum of the input enters the left line, each
// side feeds the other. Feedback passes a lowpass (tone) and a 250 Hz highpass
// so repeats darken and never build up bass.
class PingPongDelay {
public:
    PingPongDelay();
    // Adds the echoes of in (mono) into outL/outR; delay in frames.
    void process(const float* in, float* outL, float* outR, int n, int delayFrames, float feedback, float toneHz);

private:
    std::vector<float> left_, right_;
    size_t pos_ = 0;
    OnePole lpL_, lpR_;
    OnePole hpL_, hpR_; // the lowpass part of a one-pole highpass
};

// Freeverb-style reverb: eight damped combs and four allpasses per side with
// the classic spread, behind a 20 ms predelay and a band limit on the input.
class Reverb {
public:
    Reverb();
    // Adds the reverb of inL/inR into outL/outR. room 0..1 (decay), damp 0..1.
    void process(const float* inL, const float* inR, float* outL, float* outR, int n, float room, float damp);

private:
    struct Comb {
        std::vector<float> buf;
        size_t pos = 0;
        float store = 0.0f;
    };
    struct Allpass {
        std::vector<float> buf;
        size_t pos = 0;
    };
    Comb combs_[2][8];
    Allpass allpasses_[2][4];
    std::vector<float> pre_[2];
    size_t prePos_ = 0;
    Svf bandL_, bandR_, lowL_, lowR_;
};

// Brickwall limiter over a whole rendered programme: the gain falls ahead of
// each peak (1 ms, twice smoothed) and recovers over 120 ms, so no sample of
// the result, nor the peaks between samples, exceeds `ceilingDb`. Returns the
// largest gain reduction in dB.
float limitProgramme(std::vector<float>& left, std::vector<float>& right, float ceilingDb);

} // namespace songsynth
