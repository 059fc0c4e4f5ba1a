// Sounding notes. A Voice is one note of one instrument: it adds its stereo
// output into the track's block buffers until it has died away.
#pragma once

#include <cstdint>
#include <memory>

#include "Params.h"

namespace songsynth {

// A note placed on the sample grid. pitch is a MIDI number, or -1 for a hit
// that plays the instrument's own pitch (drums).
struct NoteEvent {
    int64_t start = 0;
    int64_t length = 0; // gate in samples; the release follows it
    int pitch = -1;
    float velocity = 0.8f;
};

constexpr int kMaxBlock = 64;

class Voice {
public:
    virtual ~Voice() = default;

    // Adds frames from..n-1 of the current block into left and right; p holds
    // the track's parameter values for this block. Returns false once the
    // voice is silent for good.
    bool render(float* left, float* right, int from, int n, const ParamSet& p);

    // Fades the voice out within 3 ms (a newer note on a choking track).
    void choke();

    // Glides to a new pitch and restarts the gate without a new attack
    // (monophonic gliding tracks). Voices without pitch ignore it.
    virtual void legato(int pitch, int64_t gate, float velocity);

    bool gated() const { return age_ < gate_; }

    // Frame of the current block at which the voice starts sounding (its
    // note's start in its first block, 0 afterwards); kept by the renderer.
    int firstFrame = 0;

protected:
    explicit Voice(int64_t gate) : gate_(gate) {}

    // Adds frames from..n-1 into l and r. Must call noteOffDue() once per
    // frame to learn when the gate closes. Returns false once silent.
    virtual bool process(float* l, float* r, int from, int n, const ParamSet& p) = 0;

    // Advances the note's age by one frame; true exactly on the frame the gate closes.
    bool noteOffDue() { return ++age_ == gate_; }
    double seconds() const { return double(age_) / 44100.0; }

    int64_t age_ = 0;
    int64_t gate_;

private:
    int chokeLeft_ = -1; // frames of the choke fade left; -1 when not choking
};

// Makes the voice that plays one note of an instrument of the given kind;
// null for kinds that make no sound (pump). `seed` decorrelates noise and
// oscillator phases between notes while keeping renders repeatable.
std::unique_ptr<Voice> makeVoice(Kind kind, const NoteEvent& note, const ParamSet& p, uint32_t seed);

} // namespace songsynth
