// Logo frames rendered headless at a small size through the whole path
// (archive, scene, shaders, render targets, post-processing) and read back:
// the blinds at both ends of the fade, a frame that repeats exactly at the
// same time, and the assembled logo's green in the middle of the picture.
#include <gtest/gtest.h>

#include <vector>

#include "effects/EffectHelpers.h"
#include "effects/Logo.h"
#include "engine/stagemill.h"
#include "render/GLExtensions.h"
#include "render/PostProcess.h"
#include "render/RenderTargets.h"
#include "render/ShaderManager.h"

namespace {

const int kWidth = 320;
const int kHeight = 180;

bool g_engineStarted = false;

// Shuts the engine down after the last case: the song decoder thread must be
// stopped before the archive it reads from is torn down at exit.
class EngineShutdown : public ::testing::Environment {
public:
    void TearDown() override {
        if (!g_engineStarted) return;
        g_renderTargets.release();
        ShaderManager::release();
        stmShutDown();
    }
};
::testing::Environment* const g_shutdown = ::testing::AddGlobalTestEnvironment(new EngineShutdown);

class LogoFrame : public ::testing::Test {
protected:
    // One engine, archive and Logo for all cases, started by the first case
    // (a failure there fails every case rather than skipping it).
    void SetUp() override {
        if (!g_engineStarted) {
            g_engineStarted = true;
            StmRunOptions options;
            options.headless = true;
            stmConfigure(options);
            ASSERT_TRUE(stmInitEx(kWidth, kHeight, 32, false, true, false, false, 8, 0.0f, 0.0f, "data.pak", 60));
            ASSERT_TRUE(stmReadPak("data.pak")) << "no data.pak in the build directory";
            ASSERT_NE(stmGetText("logo.dae"), nullptr) << "data.pak has no logo.dae";
            stmInitCubemaps();
            stmUploadTextures();
            g_renderTargets.init(kWidth, kHeight);
            g_shaderManager = ShaderManager::create();
            g_spectrum = new SpectrumAnalyser(8);
            logo = new Logo();
            logo->init(0, 16668);
        }
        ASSERT_NE(logo, nullptr) << "the Logo could not be set up";
        ASSERT_NE(g_logoScene, nullptr) << "logo.dae gave no scene";
    }

    static std::vector<unsigned char> readWindow() {
        std::vector<unsigned char> pixels(kWidth * kHeight * 4);
        glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    // The frame the main loop draws at song time `ms`.
    static std::vector<unsigned char> frameAt(float ms) {
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        logo->time = ms;
        logo->draw();
        return readWindow();
    }

    static Logo* logo;
};

Logo* LogoFrame::logo = nullptr;

TEST_F(LogoFrame, BlindsCloseAtFadeZeroAndVanishAtFadeOne) {
    for (float fade : {0.0f, 0.5f, 1.0f}) {
        glDisable(GL_BLEND);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_TEXTURE_2D);
        glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        drawLogoBlinds(fade);
        const std::vector<unsigned char> pixels = readWindow();
        int black = 0;
        for (size_t i = 0; i < pixels.size(); i += 4) black += pixels[i] < 128;
        const float covered = black / float(kWidth * kHeight);
        if (fade == 1.0f) EXPECT_EQ(black, 0) << "blinds still visible at fade 1";
        else if (fade == 0.0f) EXPECT_EQ(covered, 1.0f) << "blinds not closed at fade 0";
        else EXPECT_NEAR(covered, 0.5f, 0.05f);
    }
}

TEST_F(LogoFrame, SameTimeGivesIdenticalPixels) {
    const std::vector<unsigned char> first = frameAt(6000.0f);
    frameAt(2500.0f);   // move the generator, the analyser and the timer on
    const std::vector<unsigned char> second = frameAt(6000.0f);
    ASSERT_EQ(first.size(), second.size());
    size_t differing = 0;
    for (size_t i = 0; i < first.size(); ++i) differing += first[i] != second[i];
    EXPECT_EQ(differing, 0u);
}

TEST_F(LogoFrame, AssembledLogoShowsItsGreenInTheMiddle) {
    const std::vector<unsigned char> pixels = frameAt(13500.0f);   // position 0.81: assembled, blinds open
    int green = 0, total = 0;
    for (int y = kHeight / 3; y < 2 * kHeight / 3; ++y) {
        for (int x = kWidth / 4; x < 3 * kWidth / 4; ++x) {
            const unsigned char* p = &pixels[(y * kWidth + x) * 4];
            ++total;
            green += p[1] > 60 && p[1] > p[0] * 1.25f && p[1] > p[2] * 2.0f;
        }
    }
    EXPECT_GT(green, total / 20) << green << " of " << total << " central pixels are the logo's green";
}

} // namespace
