// Instrument kinds and the named parameters a score may set or automate. Each
// kind accepts the common mixer parameters plus its own; the defaults here are
// what an instrument line leaves unsaid.
#pragma once

#include <string>
#include <vector>

namespace songsynth {

enum class Kind { Kick, Snare, Clap, Hat, Cymbal, Noise, Saw, Fm, Pump, Master };

enum ParamId {
    // Mixer (every track): gain in dB, level as a linear factor (fades),
    // pan -1..1, sends to the delay and reverb buses, sidechain ducking depth,
    // insert lowpass / highpass cutoffs in Hz (at their limits they are off),
    // and a cosine LFO on the lowpass: cycles per beat, locked to the beat grid
    // (brightest on beat 0), swinging the cutoff by lfodepth octaves either way.
    P_GAIN,
    P_LEVEL,
    P_PAN,
    P_DELAY,
    P_REVERB,
    P_DUCK,
    P_LPF,
    P_HPF,
    P_LFO,
    P_LFODEPTH,
    // Sources.
    P_PITCH,
    P_PUNCH,
    P_PDECAY,
    P_CLICK,
    P_DRIVE,
    P_TONE,
    P_SNAPPY,
    P_METAL,
    P_ATTACK,
    P_DECAY,
    P_SUSTAIN,
    P_RELEASE,
    P_CUTOFF,
    P_RESO,
    P_ENVMOD,
    P_FDECAY,
    P_VOICES,
    P_DETUNE,
    P_WIDTH,
    P_SUB,
    P_GLIDE,
    P_VIBRATO,
    P_TRANSPOSE,
    P_RATIO,
    P_INDEX,
    P_IDECAY,
    P_ARP,
    P_ARPOCT,
    P_ARPGATE,
    P_REPEAT,
    // Master bus: delay time in beats, feedback and tone; reverb room size and
    // damping; drive into the limiter in dB; limiter ceiling in dBFS. The
    // master also takes "width", the gain of the side (L - R) signal before
    // the limiter: 1 leaves the mix as it is, above 1 widens what is already
    // stereo while mono parts (kick, bass) stay in the centre.
    P_DTIME,
    P_DFEED,
    P_DTONE,
    P_ROOM,
    P_DAMP,
    P_CEILING,
    P_COUNT
};

struct ParamSet {
    float v[P_COUNT];
    float operator[](ParamId id) const { return v[id]; }
    float& operator[](ParamId id) { return v[id]; }
};

// Kind from its score name ("kick", "saw", ...); false when unknown.
bool kindFromName(const std::string& name, Kind& kind);
const char* kindName(Kind kind);

// Parameter id from its score name; false when unknown.
bool paramFromName(const std::string& name, ParamId& id);
const char* paramName(ParamId id);

// Whether a kind takes a parameter, and the defaults of a kind.
bool kindHasParam(Kind kind, ParamId id);
ParamSet defaultParams(Kind kind);

// Frequencies sweep geometrically under automation, everything else linearly.
bool paramIsFrequency(ParamId id);

} // namespace songsynth
