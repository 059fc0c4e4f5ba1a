// Reaching any frame exactly. Effects carry state from frame to frame
// (latches set by their first frame, simulations stepped per frame, world
// matrices of the last draw, the spectrum analyser's history and peak), so a
// run that starts at song time T first replays, without pixels, the frames a
// run from 0 would have drawn that still shape T: from the start of every
// span drawn at T, less the analyser's settling time, on the same frame grid.
// Its first written frame is then the very frame a run from 0 draws at T.
#pragma once

#include "shell/Timeline.h"

#include <vector>

// The analyser's peak falls by 1.25 a second from at most about 3, and its
// history holds 8 frames: 3 s before a span starts nothing older is left.
const float kAnalyserSettleMs = 3000.0f;

struct ReplayPlan {
    float clockFrom = 0.0f;   // where the fixed clock starts
    int frames = 0;           // frames drawn without pixels before the first written one
    float firstFrame = 0.0f;  // song time of the first written frame
};

// For a capture from `from`: its first frame is the first frame at or after
// `from` on the grid k * 1000 / fps of a capture from 0.
ReplayPlan planCaptureReplay(const std::vector<TimelineSpan>& spans, float from, int fps);
// For a shot at `time`: the frame is drawn at `time` itself; on the grid the
// replay is that of a capture, off it the replayed frames lie on a grid
// through `time`.
ReplayPlan planShotReplay(const std::vector<TimelineSpan>& spans, float time, int fps);

// Draws `frames` frames through the scheduler with every pixel outside a
// 1x1 scissor box, and without swapping, so nothing is shown or written.
// Leaves the scissor test off.
void replayFrames(int frames);
