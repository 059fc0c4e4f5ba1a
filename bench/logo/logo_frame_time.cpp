// Times the Logo effect headless: renders its whole span on a fixed clock at
// a given size (default 1280x720, 30 frames per second of song time) and
// prints the median and spread of the frame times, each measured from the
// frame's clear to glFinish. Run from the build directory (reads data.pak).
//   logo_frame_time [WIDTH HEIGHT [FPS]]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "effects/EffectHelpers.h"
#include "effects/Logo.h"
#include "engine/stagemill.h"
#include "render/GLExtensions.h"
#include "render/RenderTargets.h"
#include "render/ShaderManager.h"

int main(int argc, char** argv) {
    const int width = argc > 2 ? std::atoi(argv[1]) : 1280;
    const int height = argc > 2 ? std::atoi(argv[2]) : 720;
    const int fps = argc > 3 ? std::atoi(argv[3]) : 30;
    if (width <= 0 || height <= 0 || fps <= 0) {
        std::fprintf(stderr, "usage: logo_frame_time [WIDTH HEIGHT [FPS]]\n");
        return 2;
    }
    StmRunOptions options;
    options.headless = true;
    stmConfigure(options);
    if (!stmInitEx(width, height, 32, false, true, false, false, 8, 0.0f, 0.0f, "data.pak", 60)) return 1;
    if (!stmReadPak("data.pak")) {
        std::fprintf(stderr, "logo_frame_time: no data.pak in the working directory\n");
        return 1;
    }
    stmInitCubemaps();
    stmUploadTextures();
    g_renderTargets.init(width, height);
    g_shaderManager = ShaderManager::create();
    g_spectrum = new SpectrumAnalyser(8);
    Logo* logo = new Logo();
    logo->init(0, 16668);

    std::vector<double> ms;
    for (float t = 0.0f; t < 16668.0f; t += 1000.0f / fps) {
        const auto begin = std::chrono::steady_clock::now();
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        logo->time = t;
        logo->draw();
        glFinish();
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count());
    }
    std::sort(ms.begin(), ms.end());
    std::printf("Logo %dx%d, %zu frames: median %.1f ms, 10%% %.1f ms, 90%% %.1f ms, max %.1f ms\n", width, height,
                ms.size(), ms[ms.size() / 2], ms[ms.size() / 10], ms[ms.size() * 9 / 10], ms.back());
    g_renderTargets.release();
    ShaderManager::release();
    stmShutDown();
    return 0;
}
