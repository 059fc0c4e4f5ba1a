// The timeline overlay of interactive runs: the programme's effects as
// labelled spans, the bar grid, the current time, the frame time, the
// viewer's modes and the latest reload error not fixed yet, drawn over the
// bottom of the picture.
#pragma once

#include "effects/BeatClock.h"
#include "shell/Timeline.h"

#include <string>
#include <vector>

struct OverlayState {
    float time = 0.0f;         // song ms
    float frameSeconds = 0.0f; // wall time of the previous frame
    bool paused = false;
    float loopStart = 0.0f, loopEnd = 0.0f; // equal: no effect loop
    bool loopProgramme = false;
    std::string reloadError; // the latest reload error not fixed since; empty: none
};

// The status line: time, bar and beat, the effects drawn now, frame time and
// modes, e.g. "123.456 s  bar 67.1  growmotikka  16.7 ms  PAUSED".
std::string overlayStatusLine(const std::vector<TimelineSpan>& spans, const BeatClock& clock,
                              const OverlayState& state);

// Draws the overlay inside the picture rectangle. Leaves every GL state as
// it found it (attributes and both matrix stacks are pushed and popped) and
// no program bound.
void drawTimelineOverlay(const std::vector<TimelineSpan>& spans, const BeatClock& clock, const OverlayState& state);
