// Replay plans and the pixel-free replay.
#include "shell/Replay.h"

#include "effects/Effect.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace {

// The first frame at or after `ms` on the grid anchor + k * step (k >= 0).
long long frameAtOrAfter(double ms, double anchor, double step) {
    return std::max(0LL, (long long)std::ceil((ms - anchor) / step - 1e-6));
}

// The plan for a first written frame `first` on the grid anchor + k * step.
ReplayPlan plan(const std::vector<TimelineSpan>& spans, double anchor, long long first, int fps) {
    const double step = 1000.0 / double(fps);
    ReplayPlan p;
    p.clockFrom = float(anchor);
    p.first = first;
    p.firstFrame = float(anchor + double(first) * step);
    const double t = anchor + double(first) * step;
    // The contiguous part: the analyser's settling time, reaching back to the
    // start of any span drawn now that steps a simulation.
    double from = t;
    std::vector<long long> latches;
    for (const TimelineSpan& span : spans) {
        if (t < double(span.start) || t >= double(span.end)) continue;
        if (span.steps)
            from = std::min(from, double(span.start));
        else
            latches.push_back(frameAtOrAfter(double(span.start), anchor, step));
    }
    const long long window = std::min(first, frameAtOrAfter(from - kAnalyserSettleMs, anchor, step));
    std::sort(latches.begin(), latches.end());
    latches.erase(std::unique(latches.begin(), latches.end()), latches.end());
    for (long long k : latches)
        if (k < window) p.replay.push_back(FrameRange{k, k + 1});
    if (window < first) p.replay.push_back(FrameRange{window, first});
    return p;
}

} // namespace

long long ReplayPlan::replayed() const {
    long long n = 0;
    for (const FrameRange& r : replay) n += r.end - r.begin;
    return n;
}

ReplayPlan planCaptureReplay(const std::vector<TimelineSpan>& spans, float from, int fps) {
    return plan(spans, 0.0, frameAtOrAfter(double(from), 0.0, 1000.0 / double(fps)), fps);
}

ReplayPlan planShotReplay(const std::vector<TimelineSpan>& spans, float time, int fps) {
    const double step = 1000.0 / double(fps);
    double k = std::round(double(time) / step);
    if (std::fabs(k * step - double(time)) < 0.01) return plan(spans, 0.0, (long long)k, fps);
    // Off the grid: the grid through `time`, anchored in [0, step).
    const double anchor = std::fmod(double(time), step);
    return plan(spans, anchor, (long long)std::llround((double(time) - anchor) / step), fps);
}

void replayFrames(const ReplayPlan& plan) {
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 1, 1);
    g_replayingFrames = true;
    for (const FrameRange& range : plan.replay) {
        stmSetFixedFrame(range.begin);
        for (long long k = range.begin; k < range.end && !stmStopSignal(); ++k) {
            stmUpdateTimer();
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            stmRun();
        }
    }
    g_replayingFrames = false;
    glDisable(GL_SCISSOR_TEST);
    stmSetFixedFrame(plan.first);
}
