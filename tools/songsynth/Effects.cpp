// Ping-pong delay, reverb and the programme limiter of the master bus.
#include "Effects.h"

#include <algorithm>
#include <cmath>

namespace songsynth {

PingPongDelay::PingPongDelay() : left_(2 * kSampleRate, 0.0f), right_(2 * kSampleRate, 0.0f) {
    hpL_.setCutoff(250.0f);
    hpR_.setCutoff(250.0f);
}

void PingPongDelay::process(const float* in, float* outL, float* outR, int n, int delayFrames, float feedback,
                            float toneHz) {
    lpL_.setCutoff(toneHz);
    lpR_.setCutoff(toneHz);
    size_t size = left_.size();
    size_t d = size_t(std::clamp(delayFrames, 1, int(size) - 1));
    for (int i = 0; i < n; ++i) {
        size_t readAt = (pos_ + size - d) % size;
        float l = left_[readAt], r = right_[readAt];
        outL[i] += l;
        outR[i] += r;
        float fl = lpL_.tick(r);
        fl -= hpL_.tick(fl);
        float fr = lpR_.tick(l);
        fr -= hpR_.tick(fr);
        left_[pos_] = in[i] + fl * feedback;
        right_[pos_] = fr * feedback;
        pos_ = (pos_ + 1) % size;
    }
}

namespace {
const int kCombTuning[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
const int kAllpassTuning[4] = {556, 441, 341, 225};
constexpr int kStereoSpread = 23;
constexpr int kPredelay = 882; // 20 ms
} // namespace

Reverb::Reverb() {
    for (int s = 0; s < 2; ++s) {
        for (int k = 0; k < 8; ++k) combs_[s][k].buf.assign(size_t(kCombTuning[k] + s * kStereoSpread), 0.0f);
        for (int k = 0; k < 4; ++k) allpasses_[s][k].buf.assign(size_t(kAllpassTuning[k] + s * kStereoSpread), 0.0f);
        pre_[s].assign(kPredelay, 0.0f);
    }
    bandL_.set(220.0f, 0.0f);
    bandR_.set(220.0f, 0.0f);
    lowL_.set(7000.0f, 0.0f);
    lowR_.set(7000.0f, 0.0f);
}

void Reverb::process(const float* inL, const float* inR, float* outL, float* outR, int n, float room, float damp) {
    float feedback = 0.7f + 0.28f * std::clamp(room, 0.0f, 1.0f);
    float d = 0.4f * std::clamp(damp, 0.0f, 1.0f);
    for (int i = 0; i < n; ++i) {
        float x[2] = {lowL_.lowpass(bandL_.highpass(inL[i])), lowR_.lowpass(bandR_.highpass(inR[i]))};
        float y[2];
        for (int s = 0; s < 2; ++s) {
            float delayed = pre_[s][prePos_];
            pre_[s][prePos_] = x[s];
            float input = delayed * 0.03f;
            float acc = 0.0f;
            for (Comb& c : combs_[s]) {
                float out = c.buf[c.pos];
                c.store = out * (1.0f - d) + c.store * d;
                c.buf[c.pos] = input + c.store * feedback;
                if (++c.pos == c.buf.size()) c.pos = 0;
                acc += out;
            }
            for (Allpass& a : allpasses_[s]) {
                float b = a.buf[a.pos];
                a.buf[a.pos] = acc + b * 0.5f;
                acc = b - acc;
                if (++a.pos == a.buf.size()) a.pos = 0;
            }
            y[s] = acc;
        }
        prePos_ = (prePos_ + 1) % kPredelay;
        outL[i] += y[0];
        outR[i] += y[1];
    }
}

namespace {

// Largest magnitude of the signal between frames i and i+1, estimated at the
// frame and three points between on a Catmull-Rom curve through four frames:
// the peaks a reconstruction filter (and a true-peak meter) would see.
float truePeakAt(const std::vector<float>& x, size_t i) {
    size_t n = x.size();
    float p0 = x[i > 0 ? i - 1 : i], p1 = x[i], p2 = x[i + 1 < n ? i + 1 : i], p3 = x[i + 2 < n ? i + 2 : n - 1];
    float peak = std::fabs(p1);
    for (float t : {0.25f, 0.5f, 0.75f}) {
        float v = 0.5f * (2.0f * p1 + (p2 - p0) * t + (2.0f * p0 - 5.0f * p1 + 4.0f * p2 - p3) * t * t +
                          (3.0f * p1 - p0 - 3.0f * p2 + p3) * t * t * t);
        peak = std::max(peak, std::fabs(v));
    }
    return peak;
}

} // namespace

float limitProgramme(std::vector<float>& left, std::vector<float>& right, float ceilingDb) {
    size_t n = std::min(left.size(), right.size());
    if (n == 0) return 0.0f;
    const float ceiling = dbToGain(ceilingDb);
    // Required gain in dB (<= 0) for every frame.
    std::vector<float> g(n);
    for (size_t i = 0; i < n; ++i) {
        float peak = std::max(truePeakAt(left, i), truePeakAt(right, i));
        g[i] = peak > ceiling ? 20.0f * std::log10(ceiling / peak) : 0.0f;
    }
    // Release forward, attack backward: each pass only lowers the gain, so
    // every frame keeps at least its required reduction.
    const float release = std::exp(-1.0f / (0.12f * kSampleRate));
    for (size_t i = 1; i < n; ++i) g[i] = std::min(g[i], g[i - 1] * release);
    const float attack = std::exp(-1.0f / (0.001f * kSampleRate));
    for (int pass = 0; pass < 2; ++pass)
        for (size_t i = n - 1; i-- > 0;) g[i] = std::min(g[i], g[i + 1] * attack);
    float deepest = 0.0f;
    for (size_t i = 0; i < n; ++i) {
        deepest = std::min(deepest, g[i]);
        float k = dbToGain(g[i]);
        left[i] = std::clamp(left[i] * k, -ceiling, ceiling);
        right[i] = std::clamp(right[i] * k, -ceiling, ceiling);
    }
    return deepest;
}

} // namespace songsynth
