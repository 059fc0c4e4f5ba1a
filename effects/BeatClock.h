// BeatClock: the song's beat grid. Effects read the phase within the current
// beat, the beat number and the song time of a given beat; the timeline rounds
// its boundaries down to whole beats with it. Times are song milliseconds;
// `offset` shifts the grid in microseconds.
#pragma once

#include "engine/stagemill.h"

class BeatClock {
public:
    BeatClock(float bpm_, int offset_) : bpm(bpm_), offset(offset_) {}

    // Whole milliseconds per beat, truncated (463 at 129.5 BPM).
    int beatLength() const;
    // Microseconds per beat, truncated (463320 at 129.5 BPM).
    int beatPeriod() const;

    // 1 just at a beat, falling linearly towards 0 just before the next.
    // Sets beatHit for the call that first sees a new beat (and stores that
    // beat in beatNumber); a second call in the same millisecond sees none.
    float beatPhase() { return beatPhase(stmGetTime()); }
    float beatPhase(float songTimeMs);

    // Beat number at the song time (fraction of the ms kept), also stored.
    int updateBeatNumber() { return updateBeatNumber(stmGetTime()); }
    int updateBeatNumber(float songTimeMs);

    // Song time in ms at which beat n begins, truncated towards zero.
    int beatTime(int n) const;

    // The timeline's boundary rule: t rounded down to a whole number of
    // beatLength() ms (17000 -> 16668 at 129.5 BPM).
    unsigned int quantiseToBeat(unsigned int timeMs) const;

    float bpm;
    int offset;
    int beatNumber = 0;
    int lastRemainder = 0;
    bool beatHit = false;
};
