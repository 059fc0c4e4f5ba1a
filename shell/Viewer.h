// Controls for people who watch, make and study the demo, beyond the
// programme's own keys: pause and frame steps, jumps between effects and bar
// lines, looping an effect or the whole programme, the timeline overlay, the
// render-target view and, with --watch, the reload panel.
// Only interactive runs have them; captures, shots and benchmarks draw the
// programme untouched.
#pragma once

#include "effects/BeatClock.h"
#include "shell/LiveReload.h"
#include "shell/TargetView.h"
#include "shell/Timeline.h"

#include <vector>

// Windows virtual-key codes of the viewer's keys.
enum ViewerKey {
    kKeyTab = 9,
    kKeySpace = 32,
    kKeyPageUp = 33,
    kKeyPageDown = 34,
    kKeyL = 'L',
    kKeyV = 'V',
    kKeyComma = 188,
    kKeyPeriod = 190,
    kKeyBracketLeft = 219,
    kKeyBracketRight = 221,
};

const float kFrameStepMs = 1000.0f / 60.0f; // one frame of a 60 Hz display

// Seek targets, all pure functions of the timeline and the beat grid.
// The start of the first span after `t`; `t` itself when none follows.
float nextEffectStart(const std::vector<TimelineSpan>& spans, float t);
// The start of the span before the one that holds `t` (0 in the first).
float previousEffectStart(const std::vector<TimelineSpan>& spans, float t);
// The first bar line (beatTime(4k)) after `t`, and the last one at least
// kBarGraceMs before it, so that a second tap goes one bar further back.
const float kBarGraceMs = 250.0f;
float nextBarLine(const BeatClock& clock, float t);
float previousBarLine(const BeatClock& clock, float t);

class Viewer {
public:
    Viewer(std::vector<TimelineSpan> spans, const BeatClock& clock, bool loopProgramme);

    // Right after the frame's clock update, before anything is drawn: wraps
    // a loop that ran past its end, so no frame past it is drawn.
    void beforeFrame();
    // After the programme's keys: reads this frame's key presses and acts.
    void handleKeys();
    // Over the finished frame (after the closing fade): the render target
    // chosen with V instead of the picture, the reload panel and the
    // timeline overlay when open. `frameSeconds` ages the panel's messages.
    void drawOverlay(float frameSeconds);
    // The outcomes of live reloads to show (null: none are made).
    void showReloads(ReloadReport* report) { reloads_ = report; }
    const TargetView& targetView() const { return targetView_; }

    // True when the programme's end is to wrap to the start instead of ending.
    bool loopsProgramme() const { return loopProgramme_; }

    bool overlayOpen() const { return overlay_; }
    bool loopingSpan() const { return loopEnd_ > loopStart_; }
    float loopStart() const { return loopStart_; }
    float loopEnd() const { return loopEnd_; }

private:
    bool pressed(int key); // down now, up on the previous frame

    std::vector<TimelineSpan> spans_;
    const BeatClock& clock_;
    bool loopProgramme_;
    bool overlay_ = false;
    float loopStart_ = 0.0f, loopEnd_ = 0.0f;
    bool wasDown_[256] = {};
    TargetView targetView_;
    ReloadReport* reloads_ = nullptr;
};

// Seeks the song to `ms` (clamped at 0). Every seek of the viewer goes
// through here.
void seekTo(float ms);
