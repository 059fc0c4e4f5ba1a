// Reaching any frame exactly. Effects carry state from frame to frame
// (latches set by their first frame, simulations stepped per frame, world
// matrices of the last draw, the spectrum analyser's history and peak), so a
// run that starts at song time T first replays, without pixels, the frames a
// run from 0 would have drawn that still shape T, on the same frame grid:
// - the first frame of every span drawn at T, which latches what it sees;
// - every frame from the start of a span drawn at T that steps a simulation;
// - every frame of the analyser's settling time before T (or before such a
//   span's start).
// Its first written frame is then the very frame a run from 0 draws at T.
#pragma once

#include "shell/Timeline.h"

#include <vector>

// The analyser's peak falls by 1.25 a second from at most about 3, and its
// history holds 8 frames: 3 s back, nothing older is left in it.
const float kAnalyserSettleMs = 3000.0f;

struct FrameRange {
    long long begin, end; // the clock's frames [begin, end)
};

struct ReplayPlan {
    float clockFrom = 0.0f;         // the fixed clock's frame 0: 0 on the grid from 0, else the grid's offset
    std::vector<FrameRange> replay; // drawn without pixels, in order
    long long first = 0;            // the clock's frame of the first written frame
    float firstFrame = 0.0f;        // its song time
    long long replayed() const;     // frames in `replay`
};

// For a capture from `from`: its first frame is the first frame at or after
// `from` on the grid k * 1000 / fps of a capture from 0.
ReplayPlan planCaptureReplay(const std::vector<TimelineSpan>& spans, float from, int fps);
// For a shot at `time`: the frame is drawn at `time` itself; on the grid the
// replay is that of a capture, off it the replayed frames lie on a grid
// through `time`.
ReplayPlan planShotReplay(const std::vector<TimelineSpan>& spans, float time, int fps);

// Draws the plan's replayed frames through the scheduler with every pixel
// outside a 1x1 scissor box, and without swapping, so nothing is shown or
// written; then sets the clock to the first written frame. Leaves the
// scissor test off.
void replayFrames(const ReplayPlan& plan);
