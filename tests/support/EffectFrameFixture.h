// The engine as the headless effect frame tests run it: one window of
// kWidth x kHeight on SDL's offscreen driver, the build directory's data.pak,
// cube maps, textures, render targets, shaders and the analysers, started
// once per test binary by the first case and shut down after the last; and
// the read-back helpers those tests compare pictures with.
#pragma once

#include <cstddef>
#include <vector>

#include "engine/stagemill.h"
#include "tests/support/HeadlessGL.h"

class SpectrumAnalyser;

namespace effect_frame {

constexpr int kWidth = 320;
constexpr int kHeight = 180;

using headless::Pixels;

struct EngineSetup {
    StmRunOptions options;                // headless is set whatever it says
    SpectrumAnalyser* analyser = nullptr; // g_spectrum; null: SpectrumAnalyser(8) on the song
    bool beatClock = false;               // g_beatClock = BeatClock(129.5, 350)
    bool startTimer = false;              // stmInitTimer() once everything is loaded
};

// Starts the engine as `setup` says on the first call; later calls only
// fail when that start failed, so a failure fails every case rather than
// skipping it. Fails through gtest assertions: call it inside
// ASSERT_NO_FATAL_FAILURE. After the last case the registered effects, render
// targets, shaders and engine are released (the song decoder thread must stop
// before the archive it reads from is torn down at exit).
void startEngine(const EngineSetup& setup = EngineSetup());

// Clears the window's colour to transparent black and its depth.
void clearWindow();

// The window's pixels.
Pixels readWindow();

// The frame the main loop draws with `effect` at song time `ms`: clears the
// window, sets the effect's time, draws and reads back.
Pixels drawAt(stm::Base* effect, float ms);

// The window after `drawBlinds(at)` on white, with blending, depth test and
// 2D texturing off (left so) and the clear colour left white.
Pixels blindsOverWhite(void (*drawBlinds)(float), float at);

// Pixels of the rectangle [x0, x1) x [y0, y1) whose red, green and blue pass
// `is(r, g, b)`.
template <class Test>
int countPixels(const Pixels& pixels, Test is, int x0 = 0, int y0 = 0, int x1 = kWidth, int y1 = kHeight) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const unsigned char* p = &pixels[(y * kWidth + x) * 4];
            n += is(p[0], p[1], p[2]);
        }
    return n;
}

// Number of bytes in which `a` and `b` differ (both of one size).
std::size_t differingBytes(const Pixels& a, const Pixels& b);

} // namespace effect_frame
