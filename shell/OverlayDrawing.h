// What the viewer's overlays (the timeline, the reload panel, the
// render-target label) draw with: a scope that sets up drawing in picture
// pixels over the finished frame and puts every GL state back after, plain
// rectangles, and text in stb_easy_font's quads.
#pragma once

#include "render/Space2D.h"

#include <string>

// For its lifetime: every attribute and both matrix stacks pushed, no
// program, the picture's viewport with (0, 0) at its top left and y down in
// pixels, texturing, depth, culling, lighting, alpha test and fog off,
// blending on with GL_SRC_ALPHA / GL_ONE_MINUS_SRC_ALPHA.
class OverlayDrawing {
public:
    OverlayDrawing();
    ~OverlayDrawing();
    OverlayDrawing(const OverlayDrawing&) = delete;
    OverlayDrawing& operator=(const OverlayDrawing&) = delete;

    float width, height; // the picture's pixels
    float scale;         // text and margins grow with the picture: 1 up to 360 pixels high, 2 to 720, ...

private:
    Space2D space; // picture pixels, y down; both matrices restored on leaving
};

// A rectangle in the current colour.
void overlayRect(float x0, float y0, float x1, float y1);
// Text with its top left at (x, y), in pixels of `scale` times the font's.
void overlayText(float x, float y, float scale, const std::string& s, unsigned char r, unsigned char g,
                 unsigned char b);
// The width of `s` in the font's pixels (times the scale when drawn).
float overlayTextWidth(const std::string& s);
