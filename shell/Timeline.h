// The programme: nine effect spans on a beat-quantised timeline.
#pragma once

#include "engine/stagemill.h"
#include "effects/BeatClock.h"
#include "effects/Effect.h"

#include <vector>

struct TimelineSpan {
    const char* name;
    int layer;
    unsigned int start, end;
    Effect* (*create)(); // makes the span's effect
    // Steps a simulation on every frame it draws (walkers, trails), so its
    // state at a time depends on all its frames before; the others only
    // latch what their first frame sees.
    bool steps = false;
};

// The song's beat grid: 129.5 beats per minute, offset 350 us.
BeatClock programmeBeatClock();

// Every span of the programme: each boundary but the last rounded down to a
// whole beat of `clock`, each start the previous end.
std::vector<TimelineSpan> timelineSpans(const BeatClock& clock);

// Creates each span's effect and hands it to the engine (stmAddEffect);
// returns them in timeline order.
std::vector<Effect*> registerTimeline(const BeatClock& clock);
