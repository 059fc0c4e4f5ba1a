// The instruments' sound: a sine kick with pitch sweep and click, a tone+noise
// snare, a burst clap, metallic hats and cymbals, filtered noise, a detuned
// saw stack (pads, leads, bass, plucks) and a two-operator FM bell.
#include "Voices.h"

#include <algorithm>
#include <cmath>

#include "Dsp.h"

namespace songsynth {

namespace {

constexpr int kChokeFrames = 132; // 3 ms
constexpr int kFilterEvery = 8;   // frames between filter coefficient updates

float softClip(float x, float drive) {
    if (drive <= 0.0f) return x;
    float k = 1.0f + drive;
    return std::tanh(k * x) / std::tanh(k);
}

// Square-ish partials of a TR-808 style metal voice, relative to 7.5 kHz tone.
const float kMetalHz[6] = {205.3f, 304.4f, 369.6f, 522.7f, 540.0f, 800.0f};

class KickVoice : public Voice {
public:
    KickVoice(const NoteEvent& e, const ParamSet& p, uint32_t seed) : Voice(e.length), noise_(seed), vel_(e.velocity) {
        end_ = p[P_PITCH];
        sweep_ = p[P_PUNCH] - end_;
        pitchCoef_ = std::exp(-1.0f / (p[P_PDECAY] * kSampleRate));
        ampCoef_ = std::exp(-1.0f / (p[P_DECAY] * kSampleRate));
        click_ = p[P_CLICK];
        drive_ = p[P_DRIVE];
        life_ = int64_t((0.015f + 7.0f * p[P_DECAY]) * kSampleRate);
        clickHp_.set(2500.0f, 0.1f);
    }

protected:
    bool process(float* l, float* r, int from, int n, const ParamSet&) override {
        for (int i = from; i < n; ++i) {
            noteOffDue();
            if (age_ > life_) return false;
            float f = end_ + sweep_ * pitchEnv_;
            pitchEnv_ *= pitchCoef_;
            phase_ += f / kSampleRate;
            if (phase_ >= 1.0f) phase_ -= 1.0f;
            // 0.3 ms rise, 15 ms hold, then the exponential tail.
            float amp;
            if (age_ < 14)
                amp = float(age_) / 14.0f;
            else if (age_ < 660)
                amp = 1.0f;
            else
                amp = (ampEnv_ *= ampCoef_);
            float c = clickHp_.highpass(noise_.next()) * clickEnv_ * click_;
            clickEnv_ *= 0.9962f; // 6 ms
            float x = softClip(std::sin(kTwoPi * phase_) * amp + c, drive_) * vel_;
            l[i] += x;
            r[i] += x;
        }
        return true;
    }

private:
    Noise noise_;
    Svf clickHp_;
    float vel_, end_, sweep_, pitchCoef_, ampCoef_, click_, drive_;
    float pitchEnv_ = 1.0f, ampEnv_ = 1.0f, clickEnv_ = 1.0f, phase_ = 0.0f;
    int64_t life_;
};

class SnareVoice : public Voice {
public:
    SnareVoice(const NoteEvent& e, const ParamSet& p, uint32_t seed) : Voice(e.length), noise_(seed), vel_(e.velocity) {
        tone_ = p[P_TONE];
        bodyCoef_ = std::exp(-1.0f / (0.45f * p[P_DECAY] * kSampleRate));
        noiseCoef_ = std::exp(-1.0f / (p[P_DECAY] * kSampleRate));
        snappy_ = p[P_SNAPPY];
        hp_.set(p[P_CUTOFF], 0.2f);
        life_ = int64_t(7.0f * p[P_DECAY] * kSampleRate);
    }

protected:
    bool process(float* l, float* r, int from, int n, const ParamSet&) override {
        for (int i = from; i < n; ++i) {
            noteOffDue();
            if (age_ > life_) return false;
            float t = float(seconds());
            float f = tone_ * (1.0f + 0.35f * std::exp(-t * 60.0f));
            phase_ += f / kSampleRate;
            if (phase_ >= 1.0f) phase_ -= 1.0f;
            float body = std::sin(kTwoPi * phase_) * bodyEnv_;
            float hiss = hp_.highpass(noise_.next()) * noiseEnv_ * snappy_;
            bodyEnv_ *= bodyCoef_;
            noiseEnv_ *= noiseCoef_;
            float x = std::tanh(1.5f * (body * (1.0f - 0.5f * snappy_) + hiss)) * vel_;
            l[i] += x;
            r[i] += x;
        }
        return true;
    }

private:
    Noise noise_;
    Svf hp_;
    float vel_, tone_, bodyCoef_, noiseCoef_, snappy_;
    float bodyEnv_ = 1.0f, noiseEnv_ = 1.0f, phase_ = 0.0f;
    int64_t life_;
};

// Three quick bursts 10 ms apart, then a longer tail; two noise sources give
// the left and right sides their own grain.
class ClapVoice : public Voice {
public:
    ClapVoice(const NoteEvent& e, const ParamSet& p, uint32_t seed)
        : Voice(e.length), noiseL_(seed), noiseR_(seed * 747796405u + 1u), vel_(e.velocity) {
        bpL_.set(p[P_CUTOFF], p[P_RESO]);
        bpR_.set(p[P_CUTOFF] * 1.07f, p[P_RESO]);
        tailCoef_ = std::exp(-1.0f / (p[P_DECAY] * kSampleRate));
        life_ = int64_t((0.03f + 7.0f * p[P_DECAY]) * kSampleRate);
    }

protected:
    bool process(float* l, float* r, int from, int n, const ParamSet&) override {
        for (int i = from; i < n; ++i) {
            noteOffDue();
            if (age_ > life_) return false;
            float env;
            if (age_ < 1323) { // bursts at 0, 10, 20 ms
                int64_t k = age_ % 441;
                env = std::exp(-float(k) / 130.0f);
            } else {
                env = (tail_ *= tailCoef_);
            }
            float g = env * vel_ * 2.2f;
            l[i] += bpL_.bandpass(noiseL_.next()) * g;
            r[i] += bpR_.bandpass(noiseR_.next()) * g;
        }
        return true;
    }

private:
    Noise noiseL_, noiseR_;
    Svf bpL_, bpR_;
    float vel_, tailCoef_, tail_ = 1.0f;
    int64_t life_;
};

// Hats and cymbals: six detuned square partials and noise through a highpass;
// a cymbal gets a second, decorrelated side.
class MetalVoice : public Voice {
public:
    MetalVoice(const NoteEvent& e, const ParamSet& p, uint32_t seed, bool stereo)
        : Voice(e.length), noiseL_(seed), noiseR_(seed * 2891336453u + 7u), vel_(e.velocity), stereo_(stereo) {
        float scale = p[P_CUTOFF] / 7500.0f;
        for (int k = 0; k < 6; ++k) {
            inc_[k] = kMetalHz[k] * 1.7f * scale / kSampleRate;
            phase_[k] = float((seed >> (k * 4)) & 15) / 16.0f;
        }
        hpL_.set(p[P_CUTOFF], 0.3f);
        hpR_.set(p[P_CUTOFF], 0.3f);
        coef_ = std::exp(-1.0f / (p[P_DECAY] * kSampleRate));
        metal_ = p[P_METAL];
        width_ = stereo ? p[P_WIDTH] : 0.0f;
        attack_ = stereo ? 88 : 1;
        life_ = int64_t(7.0f * p[P_DECAY] * kSampleRate) + attack_;
    }

protected:
    bool process(float* l, float* r, int from, int n, const ParamSet&) override {
        for (int i = from; i < n; ++i) {
            noteOffDue();
            if (age_ > life_) return false;
            float m = 0.0f;
            for (int k = 0; k < 6; ++k) {
                phase_[k] += inc_[k];
                if (phase_[k] >= 1.0f) phase_[k] -= 1.0f;
                m += phase_[k] < 0.5f ? 1.0f : -1.0f;
            }
            m *= metal_ / 6.0f;
            float a = age_ < attack_ ? float(age_) / float(attack_) : 1.0f;
            float g = env_ * a * vel_;
            env_ *= coef_;
            float nl = noiseL_.next() * (1.0f - metal_);
            float xl = hpL_.highpass(m + nl) * g;
            float xr = stereo_ ? hpR_.highpass(m + noiseR_.next() * (1.0f - metal_)) * g : xl;
            l[i] += xl;
            r[i] += xl + (xr - xl) * width_;
        }
        return true;
    }

private:
    Noise noiseL_, noiseR_;
    Svf hpL_, hpR_;
    float inc_[6], phase_[6];
    float vel_, coef_, metal_, width_, env_ = 1.0f;
    bool stereo_;
    int64_t attack_, life_;
};

// Sustained band-passed noise (risers, wind); its centre follows the track's
// cutoff automation.
class NoiseVoice : public Voice {
public:
    NoiseVoice(const NoteEvent& e, const ParamSet& p, uint32_t seed)
        : Voice(e.length), noiseL_(seed), noiseR_(seed ^ 0x5bd1e995u), vel_(e.velocity) {
        env_.start(p[P_ATTACK], 1.0f, 1.0f, p[P_RELEASE]);
    }

protected:
    bool process(float* l, float* r, int from, int n, const ParamSet& p) override {
        bpL_.set(p[P_CUTOFF], p[P_RESO]);
        bpR_.set(p[P_CUTOFF] * 1.03f, p[P_RESO]);
        float w = p[P_WIDTH];
        for (int i = from; i < n; ++i) {
            if (noteOffDue()) env_.noteOff();
            float g = env_.tick() * vel_ * 1.5f;
            float a = bpL_.bandpass(noiseL_.next());
            float b = bpR_.bandpass(noiseR_.next());
            l[i] += (a + (b - a) * 0.5f * (1.0f - w)) * g;
            r[i] += (b + (a - b) * 0.5f * (1.0f - w)) * g;
        }
        return !env_.done();
    }

private:
    Noise noiseL_, noiseR_;
    Svf bpL_, bpR_;
    Adsr env_;
    float vel_;
};

// A stack of up to nine detuned band-limited saws spread across the stereo
// field, an optional sine an octave below, a resonant lowpass with its own
// decaying envelope, drive, glide and delayed vibrato.
class SawVoice : public Voice {
public:
    SawVoice(const NoteEvent& e, const ParamSet& p, uint32_t seed) : Voice(e.length), vel_(e.velocity) {
        count_ = std::clamp(int(p[P_VOICES] + 0.5f), 1, 9);
        Noise rng(seed);
        for (int k = 0; k < count_; ++k) {
            float spread = count_ > 1 ? float(k) / float(count_ - 1) * 2.0f - 1.0f : 0.0f;
            ratio_[k] = std::exp2(spread * p[P_DETUNE] / 12.0f);
            panGains(spread * p[P_WIDTH], gl_[k], gr_[k]);
            saw_[k].phase = rng.next() * 0.5f + 0.5f;
        }
        norm_ = 1.0f / std::sqrt(float(count_));
        pitch_ = target_ = float(e.pitch) + p[P_TRANSPOSE];
        glideCoef_ = p[P_GLIDE] > 0.0f ? std::exp(-1.0f / (p[P_GLIDE] * kSampleRate)) : 0.0f;
        env_.start(p[P_ATTACK], p[P_DECAY], p[P_SUSTAIN], p[P_RELEASE]);
        fenvCoef_ = std::exp(-1.0f / (p[P_FDECAY] * kSampleRate));
    }

    void legato(int pitch, int64_t gate, float velocity) override {
        target_ = float(pitch) + transpose_;
        gate_ = age_ + gate;
        vel_ = velocity;
        fenv_ = std::max(fenv_, 0.6f);
        if (env_.stage == Adsr::Release) env_.stage = Adsr::Decay;
    }

protected:
    bool process(float* l, float* r, int from, int n, const ParamSet& p) override {
        transpose_ = p[P_TRANSPOSE];
        float sub = p[P_SUB], drive = p[P_DRIVE], envmod = p[P_ENVMOD], vib = p[P_VIBRATO];
        for (int i = from; i < n; ++i) {
            if (noteOffDue()) env_.noteOff();
            if ((age_ % kFilterEvery) == 1 || age_ == 1) {
                float cutoff = p[P_CUTOFF] * std::exp2(envmod * fenv_);
                lpL_.set(cutoff, p[P_RESO]);
                lpR_.set(cutoff, p[P_RESO]);
                float note = pitch_;
                float t = float(seconds());
                if (vib > 0.0f && t > 0.25f)
                    note += vib * std::min(1.0f, (t - 0.25f) * 2.0f) * std::sin(kTwoPi * 5.2f * t);
                freq_ = midiToHz(note);
            }
            pitch_ = target_ + (pitch_ - target_) * glideCoef_;
            fenv_ *= fenvCoef_;
            float dt = freq_ / kSampleRate;
            float sl = 0.0f, sr = 0.0f;
            for (int k = 0; k < count_; ++k) {
                float s = saw_[k].tick(dt * ratio_[k]);
                sl += s * gl_[k];
                sr += s * gr_[k];
            }
            sl *= norm_;
            sr *= norm_;
            if (sub > 0.0f) {
                subPhase_ += 0.5f * dt;
                if (subPhase_ >= 1.0f) subPhase_ -= 1.0f;
                float s = std::sin(kTwoPi * subPhase_) * sub;
                sl += s;
                sr += s;
            }
            float a = env_.tick() * vel_;
            l[i] += softClip(lpL_.lowpass(sl), drive) * a;
            r[i] += softClip(lpR_.lowpass(sr), drive) * a;
        }
        return !env_.done();
    }

private:
    Saw saw_[9];
    float ratio_[9], gl_[9], gr_[9];
    int count_;
    Svf lpL_, lpR_;
    Adsr env_;
    float vel_, norm_, pitch_, target_, glideCoef_, fenvCoef_;
    float fenv_ = 1.0f, freq_ = 440.0f, subPhase_ = 0.0f, transpose_ = 0.0f;
};

// Two-operator FM: a sine modulator at `ratio` times the pitch with a decaying
// index; the two sides are detuned against each other for width.
class FmVoice : public Voice {
public:
    FmVoice(const NoteEvent& e, const ParamSet& p, uint32_t seed) : Voice(e.length), vel_(e.velocity) {
        float f = midiToHz(float(e.pitch) + p[P_TRANSPOSE]);
        float d = p[P_DETUNE] * p[P_WIDTH] / 12.0f;
        incL_ = f * std::exp2(-d) / kSampleRate;
        incR_ = f * std::exp2(d) / kSampleRate;
        ratio_ = p[P_RATIO];
        index_ = p[P_INDEX];
        indexCoef_ = std::exp(-1.0f / (p[P_IDECAY] * kSampleRate));
        env_.start(p[P_ATTACK], p[P_DECAY], p[P_SUSTAIN], p[P_RELEASE]);
        (void)seed;
    }

protected:
    bool process(float* l, float* r, int from, int n, const ParamSet&) override {
        for (int i = from; i < n; ++i) {
            if (noteOffDue()) env_.noteOff();
            cL_ += incL_;
            if (cL_ >= 1.0f) cL_ -= 1.0f;
            cR_ += incR_;
            if (cR_ >= 1.0f) cR_ -= 1.0f;
            mL_ += incL_ * ratio_;
            if (mL_ >= 1.0f) mL_ -= 1.0f;
            mR_ += incR_ * ratio_;
            if (mR_ >= 1.0f) mR_ -= 1.0f;
            float idx = index_ * (0.15f + 0.85f * ienv_);
            ienv_ *= indexCoef_;
            float a = env_.tick() * vel_;
            l[i] += std::sin(kTwoPi * cL_ + idx * std::sin(kTwoPi * mL_)) * a;
            r[i] += std::sin(kTwoPi * cR_ + idx * std::sin(kTwoPi * mR_)) * a;
        }
        return !env_.done();
    }

private:
    Adsr env_;
    float vel_, incL_, incR_, ratio_, index_, indexCoef_;
    float ienv_ = 1.0f, cL_ = 0.0f, cR_ = 0.25f, mL_ = 0.0f, mR_ = 0.0f;
};

} // namespace

bool Voice::render(float* left, float* right, int from, int n, const ParamSet& p) {
    if (chokeLeft_ < 0) return process(left, right, from, n, p);
    float l[kMaxBlock] = {}, r[kMaxBlock] = {};
    bool alive = process(l, r, from, n, p);
    for (int i = from; i < n; ++i) {
        float g = float(chokeLeft_) / kChokeFrames;
        if (chokeLeft_ > 0) --chokeLeft_;
        left[i] += l[i] * g;
        right[i] += r[i] * g;
    }
    return alive && chokeLeft_ > 0;
}

void Voice::choke() {
    if (chokeLeft_ < 0) chokeLeft_ = kChokeFrames;
}

void Voice::legato(int, int64_t, float) {}

std::unique_ptr<Voice> makeVoice(Kind kind, const NoteEvent& note, const ParamSet& p, uint32_t seed) {
    switch (kind) {
    case Kind::Kick: return std::make_unique<KickVoice>(note, p, seed);
    case Kind::Snare: return std::make_unique<SnareVoice>(note, p, seed);
    case Kind::Clap: return std::make_unique<ClapVoice>(note, p, seed);
    case Kind::Hat: return std::make_unique<MetalVoice>(note, p, seed, false);
    case Kind::Cymbal: return std::make_unique<MetalVoice>(note, p, seed, true);
    case Kind::Noise: return std::make_unique<NoiseVoice>(note, p, seed);
    case Kind::Saw: return std::make_unique<SawVoice>(note, p, seed);
    case Kind::Fm: return std::make_unique<FmVoice>(note, p, seed);
    case Kind::Pump:
    case Kind::Master: return nullptr;
    }
    return nullptr;
}

} // namespace songsynth
