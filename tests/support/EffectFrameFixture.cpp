// Engine start-up, shutdown and read-back for the headless effect frame tests.
#include "tests/support/EffectFrameFixture.h"

#include <gtest/gtest.h>

#include "effects/EffectHelpers.h"
#include "render/Cubemap.h"
#include "render/GLExtensions.h"
#include "render/RenderTargets.h"
#include "render/ShaderManager.h"

namespace effect_frame {
namespace {

bool g_engineStarted = false;
bool g_engineReady = false; // every step of the start went through

class EngineShutdown : public ::testing::Environment {
public:
    void TearDown() override {
        if (!g_engineStarted) return;
        stmClearEffects(); // while their GL context is still current
        forgetStaticCubemaps();
        g_renderTargets.release();
        ShaderManager::release();
        stmShutDown();
    }
};
::testing::Environment* const g_shutdown = ::testing::AddGlobalTestEnvironment(new EngineShutdown);

} // namespace

void startEngine(const EngineSetup& setup) {
    if (g_engineStarted) {
        ASSERT_TRUE(g_engineReady) << "the engine could not be set up";
        return;
    }
    g_engineStarted = true;
    ASSERT_NO_FATAL_FAILURE(headless::openWindow(kWidth, kHeight, setup.options));
    ASSERT_TRUE(stmReadPak("data.pak")) << "no data.pak in the build directory";
    stmInitCubemaps();
    stmUploadTextures();
    g_renderTargets.init(kWidth, kHeight);
    g_shaderManager = ShaderManager::create();
    g_spectrum = setup.analyser ? setup.analyser : new SpectrumAnalyser(8);
    if (setup.beatClock) g_beatClock = new BeatClock(129.5f, 350);
    if (setup.startTimer) stmInitTimer();
    g_engineReady = true;
}

void clearWindow() {
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

Pixels readWindow() { return headless::readFramebuffer(0, 0, kWidth, kHeight); }

Pixels drawAt(stm::Base* effect, float ms) {
    clearWindow();
    effect->time = ms;
    effect->draw();
    return readWindow();
}

Pixels blindsOverWhite(void (*drawBlinds)(float), float at) {
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawBlinds(at);
    return readWindow();
}

std::size_t differingBytes(const Pixels& a, const Pixels& b) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
    return n;
}

} // namespace effect_frame
