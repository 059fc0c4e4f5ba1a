// Block renderer of the whole programme.
#include "Renderer.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "BeatGrid.h"
#include "Effects.h"

namespace songsynth {

namespace {

constexpr int kBlock = kMaxBlock;
constexpr float kDuckRelease = 0.2f; // seconds for a ducked track to come back
constexpr float kDuckDown = 0.004f;  // seconds to reach full ducking

// Parameter values of a track (or the master) at a beat: the instrument's
// values overridden by every ramp that has started, later ramps last.
void evaluate(const ParamSet& base, const std::vector<const Ramp*>& ramps, double beat, ParamSet& out) {
    out = base;
    for (const Ramp* r : ramps) {
        if (beat < r->from) continue;
        float u = r->to > r->from ? float(std::min(1.0, (beat - r->from) / (r->to - r->from))) : 1.0f;
        out[r->param] = paramIsFrequency(r->param) ? r->v0 * std::pow(r->v1 / r->v0, u) : r->v0 + (r->v1 - r->v0) * u;
    }
}

struct Track {
    const Instrument* inst = nullptr;
    std::vector<const Ramp*> ramps;
    std::vector<NoteEvent> notes;
    size_t next = 0;
    std::vector<std::unique_ptr<Voice>> voices;
    Svf lpL, lpR, hpL, hpR;
    bool audible = true;
    uint32_t seed = 1;
    double energy = 0.0;
    int64_t soundingFrames = 0;
};

void addNote(std::vector<NoteEvent>& out, double beat, double length, int pitch, float velocity) {
    NoteEvent e;
    e.start = beatToSample(beat);
    e.length = std::max<int64_t>(1, beatToSample(beat + length) - e.start);
    e.pitch = pitch;
    e.velocity = velocity;
    out.push_back(e);
}

} // namespace

int64_t programmeFrames(const Score& score) { return msToSample(score.lengthMs); }

std::vector<std::vector<NoteEvent>> expandNotes(const Score& score) {
    std::vector<std::vector<NoteEvent>> out(score.tracks.size());
    for (const Play& play : score.plays) {
        const ParamSet& p = score.tracks[size_t(play.track)].params;
        std::vector<NoteEvent>& notes = out[size_t(play.track)];
        double at = play.from;
        for (size_t k = 0; at < play.to; ++k) {
            const PatternRef& ref = play.patterns[k % play.patterns.size()];
            const Pattern& pat = score.patterns[size_t(ref.pattern)];
            for (const PatternNote& n : pat.notes) {
                double start = at + n.beat;
                if (start >= play.to) break;
                double length = std::min(n.length, play.to - start);
                if (n.pitches.empty()) {
                    addNote(notes, start, length, -1, n.velocity);
                } else if (p[P_ARP] > 0.0f) {
                    // Arpeggio: the chord's notes rising over arpoct octaves, one per arp step.
                    std::vector<int> tones(n.pitches);
                    std::sort(tones.begin(), tones.end());
                    int octaves = std::max(1, int(p[P_ARPOCT] + 0.5f));
                    size_t cycle = tones.size() * size_t(octaves);
                    double step = p[P_ARP];
                    for (int s = 0; s * step < length - 1e-9; ++s) {
                        size_t i = size_t(s) % cycle;
                        int pitch = tones[i % tones.size()] + 12 * int(i / tones.size()) + ref.transpose;
                        addNote(notes, start + s * step, step * p[P_ARPGATE], pitch, n.velocity);
                    }
                } else if (p[P_REPEAT] > 0.0f) {
                    // Re-struck chord: every note again each repeat step (pulsing stabs).
                    double step = p[P_REPEAT];
                    for (int s = 0; s * step < length - 1e-9; ++s)
                        for (int pitch : n.pitches)
                            addNote(notes, start + s * step, step * p[P_ARPGATE], pitch + ref.transpose, n.velocity);
                } else {
                    for (int pitch : n.pitches) addNote(notes, start, length, pitch + ref.transpose, n.velocity);
                }
            }
            at += pat.length;
        }
    }
    for (auto& notes : out)
        std::stable_sort(notes.begin(), notes.end(),
                         [](const NoteEvent& a, const NoteEvent& b) { return a.start < b.start; });
    return out;
}

Programme renderProgramme(const Score& score, const RenderOptions& options) {
    const int64_t frames = programmeFrames(score);
    std::vector<std::vector<NoteEvent>> notes = expandNotes(score);

    std::vector<Track> tracks(score.tracks.size());
    std::vector<const Ramp*> masterRamps;
    for (const Ramp& r : score.ramps) {
        if (r.track < 0)
            masterRamps.push_back(&r);
        else
            tracks[size_t(r.track)].ramps.push_back(&r);
    }
    std::vector<int64_t> keys; // sidechain triggers: every kick and pump note
    for (size_t t = 0; t < tracks.size(); ++t) {
        Track& tr = tracks[t];
        tr.inst = &score.tracks[t];
        tr.notes = std::move(notes[t]);
        tr.seed = uint32_t(t * 2654435761u + 12345u);
        if (tr.inst->kind == Kind::Kick || tr.inst->kind == Kind::Pump)
            for (const NoteEvent& e : tr.notes) keys.push_back(e.start);
    }
    std::sort(keys.begin(), keys.end());
    for (const std::string& name : options.solo) {
        auto it =
            std::find_if(score.tracks.begin(), score.tracks.end(), [&](const Instrument& i) { return i.name == name; });
        if (it == score.tracks.end()) throw std::runtime_error("--solo: no track named '" + name + "' in the score");
    }
    if (!options.solo.empty())
        for (Track& tr : tracks)
            tr.audible = std::find(options.solo.begin(), options.solo.end(), tr.inst->name) != options.solo.end();

    Programme out;
    out.left.assign(size_t(frames), 0.0f);
    out.right.assign(size_t(frames), 0.0f);
    PingPongDelay delay;
    Reverb reverb;
    // Master band limit: below 28 Hz is only rumble; above 17 kHz the codec
    // cuts anyway, and near-Nyquist noise would only make peaks between samples.
    Svf dcL, dcR, topL, topR;
    dcL.set(28.0f, 0.0f);
    dcR.set(28.0f, 0.0f);
    topL.set(17000.0f, 0.0f);
    topR.set(17000.0f, 0.0f);
    size_t nextKey = 0;
    int64_t lastKey = -(int64_t(1) << 40);
    ParamSet params, master;

    for (int64_t b0 = 0; b0 < frames; b0 += kBlock) {
        const int n = int(std::min<int64_t>(kBlock, frames - b0));
        const double beat = sampleToBeat(b0);
        evaluate(score.master.params, masterRamps, beat, master);

        // Sidechain gain reduction amount (0..1) for every frame of the block.
        float duck[kBlock];
        for (int i = 0; i < n; ++i) {
            while (nextKey < keys.size() && keys[nextKey] <= b0 + i) lastKey = keys[nextKey++];
            float t = float(b0 + i - lastKey) / kSampleRate;
            if (t < kDuckDown)
                duck[i] = t / kDuckDown;
            else if (t < kDuckDown + kDuckRelease) {
                float u = (t - kDuckDown) / kDuckRelease;
                duck[i] = 1.0f - u * u * (3.0f - 2.0f * u);
            } else
                duck[i] = 0.0f;
        }

        float mixL[kBlock] = {}, mixR[kBlock] = {};
        float delaySend[kBlock] = {}, verbL[kBlock] = {}, verbR[kBlock] = {};
        for (Track& tr : tracks) {
            evaluate(tr.inst->params, tr.ramps, beat, params);
            float l[kBlock] = {}, r[kBlock] = {};
            // Start the notes that begin in this block at their exact frame.
            if (!tr.audible) {
                // Unheard tracks make no sound at all; their kicks still key the ducking.
                while (tr.next < tr.notes.size() && tr.notes[tr.next].start < b0 + n) ++tr.next;
                continue;
            }
            while (tr.next < tr.notes.size() && tr.notes[tr.next].start < b0 + n) {
                const NoteEvent& e = tr.notes[tr.next++];
                int from = int(std::max<int64_t>(0, e.start - b0));
                bool gliding = tr.inst->kind == Kind::Saw && params[P_GLIDE] > 0.0f;
                if (gliding && !tr.voices.empty() && tr.voices.back()->gated()) {
                    tr.voices.back()->legato(e.pitch, e.length, e.velocity);
                    continue;
                }
                if (tr.inst->kind == Kind::Kick || gliding)
                    for (auto& v : tr.voices) v->choke();
                tr.seed = tr.seed * 1664525u + 1013904223u;
                // A note takes the track's values at its own start, not the block's.
                ParamSet at;
                evaluate(tr.inst->params, tr.ramps, sampleToBeat(std::max<int64_t>(e.start, b0)), at);
                std::unique_ptr<Voice> v = makeVoice(tr.inst->kind, e, at, tr.seed);
                if (!v) continue;
                v->firstFrame = from;
                tr.voices.push_back(std::move(v));
            }
            for (size_t k = 0; k < tr.voices.size();) {
                Voice& v = *tr.voices[k];
                bool alive = v.render(l, r, v.firstFrame, n, params);
                v.firstFrame = 0;
                if (alive)
                    ++k;
                else
                    tr.voices.erase(tr.voices.begin() + std::ptrdiff_t(k));
            }
            if (!tr.voices.empty()) tr.soundingFrames += n;

            float lpf = params[P_LPF];
            if (params[P_LFO] > 0.0f)
                lpf *= std::exp2(params[P_LFODEPTH] * std::cos(kTwoPi * float(std::fmod(beat * params[P_LFO], 1.0))));
            const bool lowpass = lpf<19000.0f, highpass = params[P_HPF]> 12.0f;
            if (lowpass) {
                tr.lpL.set(lpf, 0.15f);
                tr.lpR.set(lpf, 0.15f);
            }
            if (highpass) {
                tr.hpL.set(params[P_HPF], 0.1f);
                tr.hpR.set(params[P_HPF], 0.1f);
            }
            float gl, gr;
            panGains(params[P_PAN], gl, gr);
            const float gain = dbToGain(params[P_GAIN]) * params[P_LEVEL];
            const float depth = params[P_DUCK], dsend = params[P_DELAY], rsend = params[P_REVERB];
            for (int i = 0; i < n; ++i) {
                float a = l[i], b = r[i];
                if (lowpass) {
                    a = tr.lpL.lowpass(a);
                    b = tr.lpR.lowpass(b);
                }
                if (highpass) {
                    a = tr.hpL.highpass(a);
                    b = tr.hpR.highpass(b);
                }
                float g = gain * (1.0f - depth * duck[i]);
                a *= g * gl;
                b *= g * gr;
                mixL[i] += a;
                mixR[i] += b;
                tr.energy += double(a) * a + double(b) * b;
                delaySend[i] += (a + b) * 0.5f * dsend;
                verbL[i] += a * rsend;
                verbR[i] += b * rsend;
            }
        }

        float echoL[kBlock] = {}, echoR[kBlock] = {};
        int delayFrames = int(std::lround(master[P_DTIME] * kMicrosPerBeat / 1e6 * kSampleRate));
        delay.process(delaySend, echoL, echoR, n, delayFrames, master[P_DFEED], master[P_DTONE]);
        for (int i = 0; i < n; ++i) {
            verbL[i] += echoL[i] * 0.3f;
            verbR[i] += echoR[i] * 0.3f;
        }
        reverb.process(verbL, verbR, mixL, mixR, n, master[P_ROOM], master[P_DAMP]);
        const float drive = dbToGain(master[P_DRIVE]), width = master[P_WIDTH];
        for (int i = 0; i < n; ++i) {
            float mid = 0.5f * (mixL[i] + echoL[i] + mixR[i] + echoR[i]);
            float side = 0.5f * (mixL[i] + echoL[i] - mixR[i] - echoR[i]) * width;
            out.left[size_t(b0 + i)] = topL.lowpass(dcL.highpass(mid + side)) * drive;
            out.right[size_t(b0 + i)] = topR.lowpass(dcR.highpass(mid - side)) * drive;
        }
    }

    for (const Track& tr : tracks)
        out.trackRmsDb.push_back(tr.soundingFrames
                                     ? float(10.0 * std::log10(tr.energy / (2.0 * double(tr.soundingFrames)) + 1e-20))
                                     : -200.0f);
    out.limiterDb = limitProgramme(out.left, out.right, score.master.params[P_CEILING]);
    // Master level (fades) after the limiter, so a fade never changes the limiting.
    for (int64_t b0 = 0; b0 < frames; b0 += kBlock) {
        evaluate(score.master.params, masterRamps, sampleToBeat(b0), master);
        float level = std::clamp(master[P_LEVEL], 0.0f, 1.0f);
        for (int64_t i = b0; i < std::min(frames, b0 + kBlock); ++i) {
            out.left[size_t(i)] *= level;
            out.right[size_t(i)] *= level;
        }
    }
    return out;
}

} // namespace songsynth
