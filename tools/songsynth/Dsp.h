// Small sound-building blocks shared by the instruments, the effect buses and
// the master chain: noise, band-limited oscillators, a state-variable filter,
// envelopes and panning. Everything runs at one fixed sample rate.
#pragma once

#include <cmath>
#include <cstdint>

namespace songsynth {

constexpr int kSampleRate = 44100;
constexpr float kPi = 3.14159265358979f;
constexpr float kTwoPi = 6.28318530717959f;

inline float midiToHz(float note) { return 440.0f * std::exp2((note - 69.0f) / 12.0f); }
inline float dbToGain(float db) { return std::pow(10.0f, db / 20.0f); }

// xorshift32 white noise in -1..1; the seed fixes the sequence, so renders repeat.
struct Noise {
    uint32_t state;
    explicit Noise(uint32_t seed = 0x9E3779B9u) : state(seed ? seed : 1u) {}
    float next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return float(state) * (2.0f / 4294967296.0f) - 1.0f;
    }
};

// Two-sample polynomial correction that removes most aliasing from a step in a
// naive waveform; t is the phase 0..1, dt the phase increment.
inline float polyBlep(float t, float dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0f;
    }
    if (t > 1.0f - dt) {
        t = (t - 1.0f) / dt;
        return t * t + t + t + 1.0f;
    }
    return 0.0f;
}

// Band-limited sawtooth in -1..1.
struct Saw {
    float phase = 0.0f;
    float tick(float dt) {
        phase += dt;
        if (phase >= 1.0f) phase -= 1.0f;
        return 2.0f * phase - 1.0f - polyBlep(phase, dt);
    }
};

// Trapezoidal state-variable filter (stable under fast cutoff modulation).
// set() is costly (tan); callers update it every few samples.
struct Svf {
    float ic1 = 0.0f, ic2 = 0.0f;
    float k = 1.4f, a1 = 0.0f, a2 = 0.0f, a3 = 0.0f;
    float low = 0.0f, band = 0.0f, high = 0.0f;

    // resonance 0 (flat, Q 0.5) .. 1 (self-oscillation edge).
    void set(float cutoffHz, float resonance) {
        float fc = cutoffHz < 10.0f ? 10.0f : (cutoffHz > 0.45f * kSampleRate ? 0.45f * kSampleRate : cutoffHz);
        float g = std::tan(kPi * fc / kSampleRate);
        float r = resonance < 0.0f ? 0.0f : (resonance > 0.98f ? 0.98f : resonance);
        k = 2.0f - 2.0f * r;
        a1 = 1.0f / (1.0f + g * (g + k));
        a2 = g * a1;
        a3 = g * a2;
    }
    void tick(float x) {
        float v3 = x - ic2;
        float v1 = a1 * ic1 + a2 * v3;
        float v2 = ic2 + a2 * ic1 + a3 * v3;
        ic1 = 2.0f * v1 - ic1;
        ic2 = 2.0f * v2 - ic2;
        low = v2;
        band = v1;
        high = x - k * v1 - v2;
    }
    float lowpass(float x) {
        tick(x);
        return low;
    }
    float highpass(float x) {
        tick(x);
        return high;
    }
    float bandpass(float x) {
        tick(x);
        return band;
    }
};

// One-pole smoother / lowpass: y += c (x - y).
struct OnePole {
    float y = 0.0f, c = 1.0f;
    void setCutoff(float hz) { c = 1.0f - std::exp(-kTwoPi * hz / kSampleRate); }
    float tick(float x) {
        y += c * (x - y);
        return y;
    }
};

// Linear attack, exponential decay to the sustain level, exponential release.
// Times in seconds; decay and release are time constants (to 1/e).
struct Adsr {
    enum Stage { Attack, Decay, Release, Done };
    Stage stage = Attack;
    float level = 0.0f, sustain = 1.0f;
    float attackStep = 1.0f, decayCoef = 0.0f, releaseCoef = 0.0f;

    void start(float attack, float decay, float sustainLevel, float release) {
        attackStep = attack > 0.0f ? 1.0f / (attack * kSampleRate) : 1.0f;
        decayCoef = std::exp(-1.0f / ((decay > 1e-4f ? decay : 1e-4f) * kSampleRate));
        releaseCoef = std::exp(-1.0f / ((release > 1e-4f ? release : 1e-4f) * kSampleRate));
        sustain = sustainLevel;
        stage = Attack;
        level = 0.0f;
    }
    void noteOff() {
        if (stage != Done) stage = Release;
    }
    float tick() {
        switch (stage) {
        case Attack:
            level += attackStep;
            if (level >= 1.0f) {
                level = 1.0f;
                stage = Decay;
            }
            break;
        case Decay: level = sustain + (level - sustain) * decayCoef; break;
        case Release:
            level *= releaseCoef;
            if (level < 1e-4f) {
                level = 0.0f;
                stage = Done;
            }
            break;
        case Done: break;
        }
        return level;
    }
    bool done() const { return stage == Done; }
};

// Equal-power pan: pan -1 (left) .. 1 (right).
inline void panGains(float pan, float& left, float& right) {
    float p = pan < -1.0f ? -1.0f : (pan > 1.0f ? 1.0f : pan);
    float a = (p + 1.0f) * 0.25f * kPi;
    left = std::cos(a) * 1.41421356f;
    right = std::sin(a) * 1.41421356f;
}

} // namespace songsynth
