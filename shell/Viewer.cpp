// The viewer's controls: key edges, seek targets, loops.
#include "shell/Viewer.h"

#include "shell/FrameLoop.h"
#include "shell/ReloadPanel.h"
#include "shell/TimelineOverlay.h"

#include <algorithm>
#include <cmath>

namespace {

int barLength(const BeatClock& clock) { return std::max(1, 4 * clock.beatLength()); }

// The bar k whose line is the last at or before t.
int barAt(const BeatClock& clock, float t) {
    int k = int(std::floor(t / float(barLength(clock))));
    while (k > 0 && float(clock.beatTime(4 * k)) > t) --k;
    while (float(clock.beatTime(4 * (k + 1))) <= t) ++k;
    return std::max(k, 0);
}

} // namespace

void seekTo(float ms) { stmAdjustTime(std::max(0.0f, ms) - stmGetTime()); }

float nextEffectStart(const std::vector<TimelineSpan>& spans, float t) {
    for (const TimelineSpan& span : spans)
        if (float(span.start) > t) return float(span.start);
    return t;
}

float previousEffectStart(const std::vector<TimelineSpan>& spans, float t) {
    float current = 0.0f, previous = 0.0f;
    for (const TimelineSpan& span : spans) {
        if (float(span.start) > t) break;
        if (float(span.start) > current) {
            previous = current;
            current = float(span.start);
        }
    }
    return previous;
}

float nextBarLine(const BeatClock& clock, float t) { return float(clock.beatTime(4 * (barAt(clock, t) + 1))); }

float previousBarLine(const BeatClock& clock, float t) {
    return std::max(0.0f, float(clock.beatTime(4 * barAt(clock, t - kBarGraceMs))));
}

Viewer::Viewer(std::vector<TimelineSpan> spans, const BeatClock& clock, bool loopProgramme)
    : spans_(std::move(spans)), clock_(clock), loopProgramme_(loopProgramme) {}

bool Viewer::pressed(int key) {
    bool down = stmGetKey(key);
    bool edge = down && !wasDown_[key];
    wasDown_[key] = down;
    return edge;
}

void Viewer::beforeFrame() {
    if (loopingSpan() && stmGetTime() >= loopEnd_) seekTo(loopStart_);
    if (loopProgramme_ && stmGetTime() > kProgrammeEnd) seekTo(0.0f);
}

void Viewer::handleKeys() {
    const float t = stmGetTime();
    if (pressed(kKeySpace)) stmPause(!stmIsPaused());
    const bool stepForward = pressed(kKeyPeriod), stepBack = pressed(kKeyComma);
    if (stmIsPaused() && stepForward) seekTo(t + kFrameStepMs);
    if (stmIsPaused() && stepBack) seekTo(t - kFrameStepMs);
    if (pressed(kKeyPageUp)) seekTo(nextEffectStart(spans_, t));
    if (pressed(kKeyPageDown)) seekTo(previousEffectStart(spans_, t));
    if (pressed(kKeyBracketRight)) seekTo(nextBarLine(clock_, t));
    if (pressed(kKeyBracketLeft)) seekTo(previousBarLine(clock_, t));
    if (pressed(kKeyL)) {
        const bool wasLooping = loopingSpan();
        loopStart_ = loopEnd_ = 0.0f;
        if (!wasLooping) {
            for (const TimelineSpan& span : spans_) {
                if (t >= float(span.start) && t < float(span.end)) {
                    loopStart_ = float(span.start);
                    loopEnd_ = float(span.end);
                    break;
                }
            }
        }
    }
    if (pressed(kKeyTab)) overlay_ = !overlay_;
    targetView_.afterFrame();
    if (pressed(kKeyV)) targetView_.press();
}

void Viewer::drawOverlay(float frameSeconds) {
    targetView_.draw();
    if (reloads_) {
        reloads_->age(frameSeconds);
        drawReloadPanel(*reloads_);
    }
    if (!overlay_) return;
    OverlayState state;
    state.time = stmGetTime();
    state.frameSeconds = frameSeconds;
    state.paused = stmIsPaused();
    state.loopStart = loopStart_;
    state.loopEnd = loopEnd_;
    state.loopProgramme = loopProgramme_;
    if (reloads_) state.reloadError = reloads_->openError();
    drawTimelineOverlay(spans_, clock_, state);
}
