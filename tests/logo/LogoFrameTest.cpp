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
#include "tests/support/EffectFrameFixture.h"

namespace {

using namespace effect_frame;

class LogoFrame : public ::testing::Test {
protected:
    // One engine, archive and Logo for all cases, made by the first case.
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(startEngine());
        if (!logo) {
            ASSERT_NE(stmGetText("logo.dae"), nullptr) << "data.pak has no logo.dae";
            logo = new Logo();
            logo->init(0, 16668);
        }
        ASSERT_NE(g_logoScene, nullptr) << "logo.dae gave no scene";
    }

    static Pixels frameAt(float ms) { return drawAt(logo, ms); }

    static Logo* logo;
};

Logo* LogoFrame::logo = nullptr;

// Where the blinds cover the white window.
bool underBlinds(int r, int, int) { return r < 128; }

TEST_F(LogoFrame, BlindsCloseAtFadeZeroAndVanishAtFadeOne) {
    for (float fade : {0.0f, 0.5f, 1.0f}) {
        const int black = countPixels(blindsOverWhite(drawLogoBlinds, fade), underBlinds);
        const float covered = black / float(kWidth * kHeight);
        if (fade == 1.0f)
            EXPECT_EQ(black, 0) << "blinds still visible at fade 1";
        else if (fade == 0.0f)
            EXPECT_EQ(covered, 1.0f) << "blinds not closed at fade 0";
        else
            EXPECT_NEAR(covered, 0.5f, 0.05f);
    }
}

TEST_F(LogoFrame, SameTimeGivesIdenticalPixels) {
    const Pixels first = frameAt(6000.0f);
    frameAt(2500.0f); // move the generator, the analyser and the timer on
    const Pixels second = frameAt(6000.0f);
    ASSERT_EQ(first.size(), second.size());
    EXPECT_EQ(differingBytes(first, second), 0u);
}

TEST_F(LogoFrame, AssembledLogoShowsItsGreenInTheMiddle) {
    const Pixels pixels = frameAt(13500.0f); // position 0.81: assembled, blinds open
    const int green = countPixels(
        pixels, [](int r, int g, int b) { return g > 60 && g > r * 1.25f && g > b * 2.0f; }, kWidth / 4, kHeight / 3,
        3 * kWidth / 4, 2 * kHeight / 3);
    const int total = (kWidth / 2) * (kHeight / 3);
    EXPECT_GT(green, total / 20) << green << " of " << total << " central pixels are the logo's green";
}

} // namespace
