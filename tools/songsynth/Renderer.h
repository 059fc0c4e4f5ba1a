// Renders a score into a stereo 44.1 kHz programme: expands the arrangement
// into notes on the sample grid, plays every track block by block through its
// insert filters, sidechain ducking and sends, adds the delay and reverb
// returns, limits the master and applies its level automation.
#pragma once

#include <string>
#include <vector>

#include "Score.h"
#include "Voices.h"

namespace songsynth {

struct RenderOptions {
    // Names of the tracks to hear; empty means all. The others are not
    // rendered at all, but their kicks still key the sidechain ducking.
    std::vector<std::string> solo;
};

struct Programme {
    std::vector<float> left, right; // exactly the score's length in frames
    float limiterDb = 0.0f;         // deepest gain reduction of the limiter
    // Per track (score order): RMS in dBFS of its post-fader output over the
    // blocks in which it sounded, before the limiter. For balancing the mix.
    std::vector<float> trackRmsDb;
};

// Every note of every track in start order, on the sample grid: plays expanded
// pattern by pattern, chords split into notes, arpeggiated where the track
// asks for it. Index i belongs to score.tracks[i].
std::vector<std::vector<NoteEvent>> expandNotes(const Score& score);

// Frame count of the programme (length rounded to whole frames).
int64_t programmeFrames(const Score& score);

// Throws std::runtime_error naming the track when a solo name is unknown.
Programme renderProgramme(const Score& score, const RenderOptions& options = {});

} // namespace songsynth
