// Drawing of the timeline overlay with stb_easy_font's quads.
#include "shell/TimelineOverlay.h"

#include "render/GLExtensions.h"
#include "render/Space2D.h"
#include "shell/FrameLoop.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

// The single-header font defines every function static; not all are used.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#include <stb_easy_font.h>
#pragma GCC diagnostic pop

namespace {

// Span colours, cycling: distinct hues that read on dark and bright frames.
const unsigned char kSpanColours[][3] = {
    {232, 96, 128}, {96, 180, 232}, {240, 190, 80}, {150, 220, 110}, {190, 130, 240},
    {90, 210, 200}, {245, 140, 70}, {220, 220, 220}, {120, 140, 250},
};

void rect(float x0, float y0, float x1, float y1)
{
    glBegin(GL_QUADS);
    glVertex2f(x0, y0);
    glVertex2f(x1, y0);
    glVertex2f(x1, y1);
    glVertex2f(x0, y1);
    glEnd();
}

// Text at (x, y) (top left, y down) in pixels of `scale` times the font's.
void text(float x, float y, float scale, const std::string& s, unsigned char r, unsigned char g, unsigned char b)
{
    static char buffer[60000];
    unsigned char colour[4] = {r, g, b, 255};
    int quads = stb_easy_font_print(0.0f, 0.0f, const_cast<char*>(s.c_str()), colour, buffer, sizeof buffer);
    glPushMatrix();
    glTranslatef(x, y, 0.0f);
    glScalef(scale, scale, 1.0f);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(2, GL_FLOAT, 16, buffer);
    glColorPointer(4, GL_UNSIGNED_BYTE, 16, buffer + 12);
    glDrawArrays(GL_QUADS, 0, quads * 4);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glPopMatrix();
}

} // namespace

std::string overlayStatusLine(const std::vector<TimelineSpan>& spans, const BeatClock& clock,
                              const OverlayState& state)
{
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
    if (state.paused)
        s += "  PAUSED";
    if (state.loopEnd > state.loopStart) {
        std::snprintf(line, sizeof line, "  LOOP %.3f-%.3f s", state.loopStart / 1000.0f, state.loopEnd / 1000.0f);
        s += line;
    }
    if (state.loopProgramme)
        s += "  LOOP ALL";
    return s;
}

void drawTimelineOverlay(const std::vector<TimelineSpan>& spans, const BeatClock& clock, const OverlayState& state)
{
    const float w = float(stmGetWidth()), h = float(stmGetHeight());
    const float scale = std::max(1.0f, std::floor(h / 360.0f));
    const float margin = 8.0f * scale, barTop = h - 40.0f * scale, barBottom = h - 22.0f * scale;
    auto xOf = [&](float ms) { return margin + (w - 2.0f * margin) * std::clamp(ms / kProgrammeEnd, 0.0f, 1.0f); };

    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
    if (glUseProgramObjectARB)
        glUseProgramObjectARB(0);
    stmResetViewport();
    const Space2D space = Space2D::topDown(w, h);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_FOG);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    glColor4f(0.0f, 0.0f, 0.0f, 0.6f);
    rect(0.0f, h - 64.0f * scale, w, h);

    // Spans: lower layers fill the bar, higher ones its lower third.
    for (size_t i = 0; i < spans.size(); ++i) {
        const TimelineSpan& span = spans[i];
        const unsigned char* c = kSpanColours[i % (sizeof kSpanColours / sizeof kSpanColours[0])];
        const float top = span.layer > 0 ? barBottom - (barBottom - barTop) / 3.0f : barTop;
        glColor4ub(c[0], c[1], c[2], 200);
        rect(xOf(float(span.start)) + 1.0f, top, xOf(float(span.end)) - 1.0f, barBottom);
        // Labels alternate between two rows, so short spans keep theirs.
        const float labelY = barTop - (i % 2 ? 18.0f : 9.0f) * scale;
        text(xOf(float(span.start)) + 2.0f, labelY, scale, span.name, c[0], c[1], c[2]);
    }
    if (state.loopEnd > state.loopStart) {
        glColor4f(1.0f, 1.0f, 1.0f, 0.25f);
        rect(xOf(state.loopStart), barTop - 2.0f * scale, xOf(state.loopEnd), barBottom + 2.0f * scale);
    }

    // Bar grid: a tick on every bar line, longer every fourth bar.
    glColor4f(1.0f, 1.0f, 1.0f, 0.5f);
    glBegin(GL_LINES);
    for (int k = 0;; ++k) {
        const float t = float(clock.beatTime(4 * k));
        if (t > kProgrammeEnd || clock.beatPeriod() <= 0)
            break;
        const float x = xOf(t);
        glVertex2f(x, barBottom);
        glVertex2f(x, barBottom + (k % 4 == 0 ? 6.0f : 3.0f) * scale);
    }
    glEnd();

    // The playhead and the status line.
    const float x = xOf(state.time);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    rect(x - scale, barTop - 4.0f * scale, x + scale, barBottom + 8.0f * scale);
    text(margin, h - 12.0f * scale, scale, overlayStatusLine(spans, clock, state), 255, 255, 255);

    glPopClientAttrib();
    glPopAttrib();
}
