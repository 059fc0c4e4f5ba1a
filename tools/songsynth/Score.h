// The score: instruments, step patterns and the arrangement that places
// patterns and parameter ramps on the beat grid. parseScore reads our small
// text format (described at the top of data/song/emberfall.score).
#pragma once

#include <string>
#include <vector>

#include "Params.h"

namespace songsynth {

// One note of a pattern, in beats from the pattern's start. pitches holds MIDI
// note numbers (a chord has several); a drum hit has none.
struct PatternNote {
    double beat = 0.0;
    double length = 0.0;
    std::vector<int> pitches;
    float velocity = 0.8f;
};

struct Pattern {
    std::string name;
    double length = 0.0; // beats
    std::vector<PatternNote> notes;
};

struct Instrument {
    std::string name;
    Kind kind = Kind::Saw;
    ParamSet params;
};

// A pattern reference of a play line, transposed by some semitones.
struct PatternRef {
    int pattern = 0;
    int transpose = 0;
};

// Patterns of the list played one after another, cycling, from beat `from`
// until beat `to` on one track.
struct Play {
    int track = 0;
    double from = 0.0, to = 0.0;
    std::vector<PatternRef> patterns;
};

// A parameter moving from v0 at beat `from` to v1 at beat `to`, then holding.
// track -1 is the master bus.
struct Ramp {
    int track = -1;
    ParamId param = P_LEVEL;
    double from = 0.0, to = 0.0;
    float v0 = 0.0f, v1 = 0.0f;
};

struct Score {
    double lengthMs = 0.0;
    Instrument master;
    std::vector<Instrument> tracks;
    std::vector<Pattern> patterns;
    std::vector<Play> plays;
    std::vector<Ramp> ramps; // in file order; a later ramp overrides once it starts
};

// Parses score text; `where` names the source in messages. Throws
// std::runtime_error("where:line: what was expected") on any fault.
Score parseScore(const std::string& text, const std::string& where);

// Reads and parses a score file; throws std::runtime_error when it cannot be read.
Score loadScore(const std::string& path);

} // namespace songsynth
