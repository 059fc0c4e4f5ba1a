// Drawing of the timeline overlay.
#include "shell/TimelineOverlay.h"

#include "shell/FrameLoop.h"
#include "shell/OverlayDrawing.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// Span colours, cycling: distinct hues that read on dark and bright frames.
const unsigned char kSpanColours[][3] = {
    {232, 96, 128}, {96, 180, 232}, {240, 190, 80},  {150, 220, 110}, {190, 130, 240},
    {90, 210, 200}, {245, 140, 70}, {220, 220, 220}, {120, 140, 250},
};

} // namespace

std::string overlayStatusLine(const std::vector<TimelineSpan>& spans, const BeatClock& clock,
                              const OverlayState& state) {
    std::string drawn;
    for (const TimelineSpan& span : spans)
        if (state.time >= float(span.start) && state.time < float(span.end))
            drawn += (drawn.empty() ? "" : "+") + std::string(span.name);
    const float beatMs = float(clock.beatPeriod()) / 1000.0f;
    const float beats = beatMs > 0.0f ? (state.time + float(clock.offset) / 1000.0f) / beatMs : 0.0f;
    char line[256];
    std::snprintf(line, sizeof line, "%.3f s  bar %.1f  %s  %.1f ms", state.time / 1000.0f, beats / 4.0f,
                  drawn.empty() ? "-" : drawn.c_str(), state.frameSeconds * 1000.0f);
    std::string s = line;
    if (state.paused) s += "  PAUSED";
    if (state.loopEnd > state.loopStart) {
        std::snprintf(line, sizeof line, "  LOOP %.3f-%.3f s", state.loopStart / 1000.0f, state.loopEnd / 1000.0f);
        s += line;
    }
    if (state.loopProgramme) s += "  LOOP ALL";
    return s;
}

void drawTimelineOverlay(const std::vector<TimelineSpan>& spans, const BeatClock& clock, const OverlayState& state) {
    OverlayDrawing drawing;
    const float w = drawing.width, h = drawing.height, scale = drawing.scale;
    const float margin = 8.0f * scale, barTop = h - 40.0f * scale, barBottom = h - 22.0f * scale;
    auto xOf = [&](float ms) { return margin + (w - 2.0f * margin) * std::clamp(ms / kProgrammeEnd, 0.0f, 1.0f); };

    const float top = h - (state.reloadError.empty() ? 64.0f : 76.0f) * scale;
    glColor4f(0.0f, 0.0f, 0.0f, 0.6f);
    overlayRect(0.0f, top, w, h);
    if (!state.reloadError.empty()) overlayText(margin, top + 3.0f * scale, scale, state.reloadError, 255, 110, 90);

    // Spans: lower layers fill the bar, higher ones its lower third.
    for (size_t i = 0; i < spans.size(); ++i) {
        const TimelineSpan& span = spans[i];
        const unsigned char* c = kSpanColours[i % (sizeof kSpanColours / sizeof kSpanColours[0])];
        const float spanTop = span.layer > 0 ? barBottom - (barBottom - barTop) / 3.0f : barTop;
        glColor4ub(c[0], c[1], c[2], 200);
        overlayRect(xOf(float(span.start)) + 1.0f, spanTop, xOf(float(span.end)) - 1.0f, barBottom);
        // Labels alternate between two rows, so short spans keep theirs.
        const float labelY = barTop - (i % 2 ? 18.0f : 9.0f) * scale;
        overlayText(xOf(float(span.start)) + 2.0f, labelY, scale, span.name, c[0], c[1], c[2]);
    }
    if (state.loopEnd > state.loopStart) {
        glColor4f(1.0f, 1.0f, 1.0f, 0.25f);
        overlayRect(xOf(state.loopStart), barTop - 2.0f * scale, xOf(state.loopEnd), barBottom + 2.0f * scale);
    }

    // Bar grid: a tick on every bar line, longer every fourth bar.
    glColor4f(1.0f, 1.0f, 1.0f, 0.5f);
    glBegin(GL_LINES);
    for (int k = 0;; ++k) {
        const float t = float(clock.beatTime(4 * k));
        if (t > kProgrammeEnd || clock.beatPeriod() <= 0) break;
        const float x = xOf(t);
        glVertex2f(x, barBottom);
        glVertex2f(x, barBottom + (k % 4 == 0 ? 6.0f : 3.0f) * scale);
    }
    glEnd();

    // The playhead and the status line.
    const float x = xOf(state.time);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    overlayRect(x - scale, barTop - 4.0f * scale, x + scale, barBottom + 8.0f * scale);
    overlayText(margin, h - 12.0f * scale, scale, overlayStatusLine(spans, clock, state), 255, 255, 255);
}
