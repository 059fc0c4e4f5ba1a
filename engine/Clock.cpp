// The song clock. Three sources: the audio position while a song plays on an
// audio device, the wall clock otherwise, and the fixed clock of captures
// (frame k at k * 1000 / fps ms when `from` lies on that grid, else at
// from + k * 1000 / fps ms; never reading wall time). The time is
// latched once a frame by stmUpdateTimer so every reader in a frame agrees.
#include "engine/Internal.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>

namespace {

struct Clock {
    double offsetMs = 0.0; // fixed: from plus seeks; wall: seeks
    long long frames = 0;  // stmUpdateTimer calls on the fixed clock
    Uint64 wallStart = 0, lastWall = 0;
    float time = 0.0f;
    float delta = 0.0f;
    bool paused = false;
};
Clock g_clock;

double wallMs(Uint64 from, Uint64 to) { return double(to - from) * 1000.0 / double(SDL_GetPerformanceFrequency()); }

} // namespace

void stmInitTimer() {
    const StmRunOptions& options = stmGetRunOptions();
    g_clock = Clock();
    g_clock.offsetMs = options.fixedFps > 0 ? options.fixedFrom : 0.0;
    if (options.fixedFps > 0) {
        // A start on the grid of frames from 0 counts frames from 0, so frame
        // k has the very same time (bits included) in every run that draws it.
        double k = std::round(double(options.fixedFrom) * options.fixedFps / 1000.0);
        if (std::fabs(k * 1000.0 / options.fixedFps - double(options.fixedFrom)) <
            0.01) { // float ms: ulp 0.016 at 225 s
            g_clock.frames = (long long)k;
            g_clock.offsetMs = 0.0;
        }
    }
    g_clock.wallStart = g_clock.lastWall = SDL_GetPerformanceCounter();
    g_clock.time = float(g_clock.offsetMs);
}

void stmUpdateTimer() {
    const StmRunOptions& options = stmGetRunOptions();
    if (g_clock.paused) {
        g_clock.delta = 0.0f;
        return;
    }
    if (options.fixedFps > 0) {
        g_clock.time = float(g_clock.offsetMs + double(g_clock.frames) * 1000.0 / options.fixedFps);
        g_clock.delta = 1.0f / float(options.fixedFps);
        ++g_clock.frames;
        return;
    }
    Uint64 now = SDL_GetPerformanceCounter();
    g_clock.delta = float(wallMs(g_clock.lastWall, now) / 1000.0);
    g_clock.lastWall = now;
    if (stm_internal::audioDeviceOpen())
        g_clock.time = float(stm_internal::audioPositionMs());
    else
        g_clock.time = float(g_clock.offsetMs + wallMs(g_clock.wallStart, now));
}

void stmSetFixedFrame(long long frame) { g_clock.frames = frame; }

void stmRunAt(float ms) {
    const Clock kept = g_clock;
    g_clock.time = ms;
    g_clock.delta = 0.0f;
    stmRun();
    g_clock = kept;
}

float stmGetTime() { return g_clock.time; }
float stmGetDeltaTime() { return g_clock.delta; }

void stmAdjustTime(float ms) {
    double target = std::max(0.0, double(g_clock.time) + double(ms));
    if (stmGetRunOptions().fixedFps <= 0 && stm_internal::audioDeviceOpen())
        stm_internal::seekAudio(target);
    else
        g_clock.offsetMs += target - double(g_clock.time);
    g_clock.time = float(target);
}

void stmPause(bool paused) {
    if (paused == g_clock.paused) return;
    g_clock.paused = paused;
    if (!paused && stmGetRunOptions().fixedFps <= 0) {
        // The wall clock goes on from the paused time, not from wall time.
        Uint64 now = SDL_GetPerformanceCounter();
        g_clock.offsetMs = g_clock.time;
        g_clock.wallStart = g_clock.lastWall = now;
    }
    stm_internal::pauseAudio(paused);
}

bool stmIsPaused() { return g_clock.paused; }
