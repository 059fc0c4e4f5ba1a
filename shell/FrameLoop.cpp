// The frame loop and the closing fade.
#include "shell/FrameLoop.h"

#include "effects/Easing.h"
#include "render/GLCheck.h"
#include "render/PostProcess.h"
#include "render/Space2D.h"
#include "shell/LiveReload.h"
#include "shell/Viewer.h"

#include <GL/gl.h>

stm::Vector g_backgroundColor(0.0f, 0.0f, 0.0f, 0.0f);

namespace {
enum { kKeyEscape = 27, kKeyF1 = 112, kKeyLeft = 37, kKeyRight = 39 };
}

bool fadeOut(float& remaining) {
    const Space2D space = Space2D::unit();
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    float e = easeInSine(remaining, 0.0f, kFadeSeconds);
    float v = e * e;
    glColor4f(g_backgroundColor.x, g_backgroundColor.y, g_backgroundColor.z, 1.0f - v);
    drawUnitQuad();
    stmSetVolume(v);
    remaining -= stmGetDeltaTime();
    glEnable(GL_TEXTURE_2D);
    return remaining <= 0.0f;
}

bool FrameLoop::iterate() {
    int message = stmPeekMessage();
    if (message == 1) {
        if (fadeRemaining <= 0.0f) fadeRemaining = kFadeSeconds;
        return false;
    }
    if (message != 0) return false;

    if (reloads) applyDataChanges(*reloads);
    stmUpdateTimer();
    if (viewer) viewer->beforeFrame();
    glClearColor(g_backgroundColor.x, g_backgroundColor.y, g_backgroundColor.z, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    stmRun();

    if (stmGetKey(kKeyEscape) && fadeRemaining <= 0.0f) fadeRemaining = kFadeSeconds;
    if (stmGetKey(kKeyF1)) {
        if (stmGetKey(kKeyLeft)) {
            stmSetVolume(0.0f);
            seekDirection = -1;
            stmAdjustTime(-1000.0f);
        } else if (stmGetKey(kKeyRight)) {
            stmSetVolume(0.0f);
            seekDirection = 1;
            stmAdjustTime(1000.0f);
        } else if (seekDirection != 0) {
            stmSetVolume(100.0f);
            seekDirection = 0;
        }
    } else if (seekDirection != 0) {
        // F1 let go before the arrow: the seek is over all the same.
        stmSetVolume(100.0f);
        seekDirection = 0;
    }
    if (viewer) viewer->handleKeys();
    if (fadeRemaining > 0.0f) {
        stmPause(false); // a paused clock would never run the fade out
        quit = fadeOut(fadeRemaining);
    }
    if (stmGetTime() > kProgrammeEnd && !(viewer && viewer->loopsProgramme())) quit = true;
    if (viewer) viewer->drawOverlay(float(frameSeconds));
    stmSwapBuffers();
    if (glCheck) {
        glCheck->check("frame loop", stmGetTime());
        glCheck->frameDone();
    }
    const auto now = std::chrono::steady_clock::now();
    if (lastSwap.time_since_epoch().count() != 0) frameSeconds = std::chrono::duration<double>(now - lastSwap).count();
    lastSwap = now;
    return true;
}

void FrameLoop::frame() {
    while (!quit && !iterate()) {}
}

void FrameLoop::run() {
    while (!quit) iterate();
}
