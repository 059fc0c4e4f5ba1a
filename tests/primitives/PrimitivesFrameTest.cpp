// GrowPrimitives frames rendered headless at a small size through the whole
// path (archive, scene, shaders, render targets, post-processing) and read
// back: the chains in the middle of the span, a frame that repeats exactly,
// the credits standing over the black of the fade, the black last frame, and
// an arrow star seen from above.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "effects/EffectHelpers.h"
#include "effects/GrowPrimitives.h"
#include "engine/stagemill.h"
#include "render/GLExtensions.h"
#include "tests/support/EffectFrameFixture.h"

using namespace ZEPHRAN_STAGEMILL;

namespace {

using namespace effect_frame;

const unsigned long kStart = 193071, kEnd = 225450;

class PrimitivesFrame : public ::testing::Test {
protected:
    // One engine, archive and effect for all cases, started by the first case.
    // The clock is fixed, so the song time the stars turn by stays put.
    void SetUp() override {
        EngineSetup setup;
        setup.options.fixedFps = 10;
        setup.options.fixedFrom = 200000.0f;
        ASSERT_NO_FATAL_FAILURE(startEngine(setup));
        if (!effect) {
            ASSERT_NE(stmGetText("primitives.dae"), nullptr) << "data.pak has no primitives.dae";
            effect = new GrowPrimitives();
            effect->init(kStart, kEnd);
        }
        ASSERT_NE(g_primitivesScene, nullptr) << "primitives.dae gave no scene";
    }

    // The frame the main loop draws at a position of the span.
    static Pixels frameAt(float position) { return drawAt(effect, kStart + position * (kEnd - kStart)); }

    static const unsigned char* at(const Pixels& p, int x, int y) { return &p[(y * kWidth + x) * 4]; }

    static GrowPrimitives* effect;
};

GrowPrimitives* PrimitivesFrame::effect = nullptr;

int maxChannel(const unsigned char* p) { return std::max(p[0], std::max(p[1], p[2])); }
int minChannel(const unsigned char* p) { return std::min(p[0], std::min(p[1], p[2])); }

TEST_F(PrimitivesFrame, ChainsShowTheirColoursAroundTheMiddle) {
    const Pixels pixels = frameAt(0.5f);
    int vivid = 0, total = 0;
    for (int y = kHeight / 4; y < 3 * kHeight / 4; ++y)
        for (int x = kWidth / 4; x < 3 * kWidth / 4; ++x, ++total) {
            const unsigned char* p = at(pixels, x, y);
            vivid += maxChannel(p) > 120 && maxChannel(p) - minChannel(p) > 90;
        }
    EXPECT_GT(vivid, total / 20) << vivid << " of " << total << " central pixels are vivid";
}

TEST_F(PrimitivesFrame, SameTimeGivesIdenticalPixels) {
    const Pixels first = frameAt(0.4f);
    frameAt(0.7f); // move the generator, the analyser and the timer on
    const Pixels second = frameAt(0.4f);
    EXPECT_EQ(differingBytes(first, second), 0u);
}

TEST_F(PrimitivesFrame, CreditsStandOverTheFadeAndTheLastFrameIsBlack) {
    // At 0.97 the fade has darkened the picture to 6 % while the credits are
    // fully open: their white type lies inside the credits quad only.
    const Pixels credits = frameAt(0.97f);
    int insideWhite = 0, outsideBright = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const unsigned char* p = at(credits, x, y);
            const bool inside = x > 0.28f * kWidth && x < 0.72f * kWidth;
            if (inside)
                insideWhite += minChannel(p) > 200;
            else
                outsideBright += maxChannel(p) > 40;
        }
    EXPECT_GT(insideWhite, 50) << "no credits type over the fade";
    EXPECT_EQ(outsideBright, 0) << "the fade leaves the picture bright outside the credits";

    const Pixels last = frameAt(1.0f);
    int lit = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) lit += maxChannel(at(last, x, y)) > 2;
    EXPECT_EQ(lit, 0) << "the last frame is not black";
}

// An arrow star of size 60 seen from straight above, in window pixels: one
// unit is one pixel, the star's centre at the window's centre.
int starReach(float x) {
    stmPerspective2D(static_cast<float>(kWidth), static_cast<float>(kHeight));
    glLoadIdentity();
    glTranslatef(kWidth / 2.0f, kHeight / 2.0f, 0.0f);
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f); // the star's horizontal plane faces the viewer
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    drawArrowStar(Vector(0.0f, 0.0f, 0.0f), x, 0.2f, 0.25f, 60.0f, 0);
    stmPerspective3D();
    glLoadIdentity();
    const Pixels pixels = readWindow();
    int reach = -1;
    for (int y = 0; y < kHeight; ++y)
        for (int xx = 0; xx < kWidth; ++xx)
            if (maxChannel(&pixels[(y * kWidth + xx) * 4]) > 0) {
                const int d =
                    static_cast<int>(std::lround(std::hypot(xx + 0.5f - kWidth / 2.0f, y + 0.5f - kHeight / 2.0f)));
                reach = std::max(reach, d);
            }
    return reach;
}

TEST_F(PrimitivesFrame, ArrowStarAppearsWithItsFirstArrowAndStopsAtItsSize) {
    EXPECT_EQ(starReach(0.17f), -1) << "drawn before its first window";
    EXPECT_NEAR(starReach(0.5f), 1.45f * 60.0f, 2.0f) << "the arrow tips do not stop at 1.45 x size";
}

} // namespace
