// The frame loop: messages, one frame (edits rebuilt, clear, the effects), the closing fade
// on Escape or window close, F1 seeking, the viewer's controls in interactive
// runs, the programme's end, swap.
#pragma once

#include "engine/stagemill.h"

#include <chrono>

extern stm::Vector g_backgroundColor; // clear colour and closing-fade colour

const float kFadeSeconds = 1.15f;
const float kProgrammeEnd = 225500.0f; // song ms after which the programme ends

// Draws the closing fade over the finished frame for `remaining` seconds of
// fade left, sets the music volume with it and counts the frame's time off.
// True once the fade has run out. Draws in its own Space2D, so both
// matrices are as before; leaves blending on with
// GL_SRC_ALPHA/GL_ONE_MINUS_SRC_ALPHA and GL_TEXTURE_2D on.
bool fadeOut(float& remaining);

class GLCheck;
class Viewer;
class ReloadReport;

struct FrameLoop {
    bool quit = false;
    float fadeRemaining = 0.0f; // seconds; 0: no fade running
    int seekDirection = 0;      // -1, 0, +1
    Viewer* viewer = nullptr;   // null: the programme's keys only (captures, shots)
    GLCheck* glCheck = nullptr; // checks the GL state after each frame (--gl-check)
    // Non-null with --watch: edits of the data directory are rebuilt at the
    // start of each frame, their outcomes kept here.
    ReloadReport* reloads = nullptr;
    double frameSeconds = 0.0; // wall time between the last two swaps, for the overlay
    std::chrono::steady_clock::time_point lastSwap{};

    // One pass of the loop: takes one pending message, or draws one frame.
    // True when a frame was drawn.
    bool iterate();
    // Takes pending messages until a frame is drawn (or the loop quits).
    void frame();
    void run();
};
