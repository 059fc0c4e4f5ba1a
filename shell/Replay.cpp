// Replay plans and the pixel-free replay.
#include "shell/Replay.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace {

// Where replaying for a frame at `time` must start: the earliest start of
// the spans drawn then, less the analyser's settling time.
float stateStart(const std::vector<TimelineSpan>& spans, float time)
{
    float start = time;
    for (const TimelineSpan& span : spans)
        if (time >= float(span.start) && time < float(span.end))
            start = std::min(start, float(span.start));
    return std::max(0.0f, start - kAnalyserSettleMs);
}

double frameMs(int fps) { return 1000.0 / double(fps); }

// The plan for a first frame that is frame k of the grid from 0.
ReplayPlan onGrid(const std::vector<TimelineSpan>& spans, long long k, int fps)
{
    ReplayPlan plan;
    plan.firstFrame = float(double(k) * frameMs(fps));
    long long first = std::min(k, (long long)std::floor(double(stateStart(spans, plan.firstFrame)) / frameMs(fps)));
    plan.frames = int(k - first);
    plan.clockFrom = float(double(first) * frameMs(fps));
    return plan;
}

} // namespace

ReplayPlan planCaptureReplay(const std::vector<TimelineSpan>& spans, float from, int fps)
{
    return onGrid(spans, (long long)std::ceil(double(from) / frameMs(fps) - 1e-6), fps);
}

ReplayPlan planShotReplay(const std::vector<TimelineSpan>& spans, float time, int fps)
{
    double k = std::round(double(time) / frameMs(fps));
    if (std::fabs(k * frameMs(fps) - double(time)) < 0.01)
        return onGrid(spans, (long long)k, fps);
    ReplayPlan plan;
    plan.firstFrame = time;
    plan.frames = int(std::floor((double(time) - double(stateStart(spans, time))) / frameMs(fps)));
    plan.clockFrom = float(double(time) - plan.frames * frameMs(fps));
    return plan;
}

void replayFrames(int frames)
{
    if (frames <= 0)
        return;
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 1, 1);
    for (int i = 0; i < frames; ++i) {
        stmUpdateTimer();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        stmRun();
    }
    glDisable(GL_SCISSOR_TEST);
}
