// The viewer's overlay drawing: the GL state scope, rectangles and text.
#include "shell/OverlayDrawing.h"

#include "engine/stagemill.h"
#include "render/GLExtensions.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

// The single-header font defines every function static; not all are used.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#include <stb_easy_font.h>
#pragma GCC diagnostic pop

OverlayDrawing::OverlayDrawing()
    : width(float(stmGetWidth())),
      height(float(stmGetHeight())),
      scale(std::max(1.0f, std::floor(float(stmGetHeight()) / 360.0f))),
      space(Space2D::topDown(width, height)) {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
    if (glUseProgramObjectARB) glUseProgramObjectARB(0);
    stmResetViewport();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_FOG);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

OverlayDrawing::~OverlayDrawing() {
    glPopClientAttrib();
    glPopAttrib();
}

void overlayRect(float x0, float y0, float x1, float y1) {
    glBegin(GL_QUADS);
    glVertex2f(x0, y0);
    glVertex2f(x1, y0);
    glVertex2f(x1, y1);
    glVertex2f(x0, y1);
    glEnd();
}

void overlayText(float x, float y, float scale, const std::string& s, unsigned char r, unsigned char g,
                 unsigned char b) {
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

float overlayTextWidth(const std::string& s) { return float(stb_easy_font_width(const_cast<char*>(s.c_str()))); }
