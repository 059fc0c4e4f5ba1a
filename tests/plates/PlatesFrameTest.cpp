// Plates and Plates2 frames rendered headless at a small size through the
// whole path (archive, shaders, shadow pass, render targets, post chain) and
// read back: the blinds closed on the first frame, the plates' colours in an
// open section, the section fade at a section's end, a frame that repeats at
// the same time, Plates2's ribbons over its grey ground, and frames drawn
// ahead of time (the start-up's warm-up) that leave no trace in the frames
// after them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "effects/EffectHelpers.h"
#include "effects/EffectState.h"
#include "effects/Plates.h"
#include "effects/Plates2.h"
#include "engine/stagemill.h"
#include "render/GLExtensions.h"
#include "tests/support/EffectFrameFixture.h"

namespace {

using namespace effect_frame;

Plates* g_plates = nullptr;
Plates2* g_plates2 = nullptr;

struct Picture {
    Pixels pixels;

    // Share of pixels passing `test(r, g, b)`.
    template <class Test>
    float share(Test test) const {
        return countPixels(pixels, test) / float(kWidth * kHeight);
    }
    float meanBrightness() const {
        double sum = 0.0;
        for (size_t i = 0; i < pixels.size(); i += 4) sum += pixels[i] + pixels[i + 1] + pixels[i + 2];
        return float(sum / (3.0 * kWidth * kHeight));
    }
};

class PlatesFrame : public ::testing::Test {
protected:
    // One engine and archive for all cases, started by the first case.
    void SetUp() override {
        EngineSetup setup;
        setup.beatClock = true;
        ASSERT_NO_FATAL_FAILURE(startEngine(setup));
        if (!g_plates) {
            g_plates = new Plates();
            g_plates->init(16668, 57875);
            g_plates2 = new Plates2();
            g_plates2->init(57875, 89359);
        }
    }

    // The frame the main loop draws at song time `ms`.
    static Picture frameAt(stm::Base* effect, float ms) { return Picture{drawAt(effect, ms)}; }
};

bool isBlack(int r, int g, int b) { return r < 8 && g < 8 && b < 8; }

TEST_F(PlatesFrame, PlatesOpensBehindClosedBlinds) {
    g_platesFirstSection = 0;
    const Picture first = frameAt(g_plates, 16668.0f);
    EXPECT_FLOAT_EQ(first.share(isBlack), 1.0f) << "the blinds cover the first frame";
}

TEST_F(PlatesFrame, OpenSectionShowsThePlatesAndItsEndFadesToBlack) {
    g_platesFirstSection = 0;
    // Section 0 runs from 14825 to 29652 ms; 22000 is its middle.
    const Picture middle = frameAt(g_plates, 22000.0f);
    const float red = middle.share([](int r, int g, int b) { return r > 60 && r > 2 * g && r > b; });
    const float light = middle.share([](int r, int g, int b) { return r > 150 && g > 150 && b > 150; });
    EXPECT_GT(red, 0.03f) << "pink and wine-red plates or floor";
    EXPECT_GT(light, 0.01f) << "white plates";
    EXPECT_LT(middle.share(isBlack), 0.9f);

    const Picture end = frameAt(g_plates, 29600.0f); // phase 0.9965
    EXPECT_LT(end.meanBrightness(), 0.1f * middle.meanBrightness() + 1.0f);
}

TEST_F(PlatesFrame, PlatesRepeatsExactlyAtTheSameTime) {
    g_platesFirstSection = 0;
    const Picture first = frameAt(g_plates, 24000.0f);
    frameAt(g_plates, 21000.0f); // move the generator, the analyser and the timer on
    const Picture second = frameAt(g_plates, 24000.0f);
    EXPECT_EQ(differingBytes(first.pixels, second.pixels), 0u);
}

TEST_F(PlatesFrame, Plates2DrawsRibbonsOverItsGreyGround) {
    // Early in the effect: short ribbons that leave most of the ground open.
    createWalkers();
    for (int i = 0; i < 60; ++i) stepWalkers(0.02f);
    const Picture frame = frameAt(g_plates2, 58668.0f);
    const float grey =
        frame.share([](int r, int g, int b) { return r > 60 && std::abs(r - g) < 16 && std::abs(g - b) < 16; });
    const float teal = frame.share([](int r, int g, int b) { return g > r + 40 && b > r + 30; });
    const float magenta = frame.share([](int r, int g, int b) { return r > g + 60 && b > g + 30; });
    EXPECT_GT(grey, 0.2f) << "the grey ground";
    EXPECT_GT(teal, 0.005f) << "teal ribbons";
    EXPECT_GT(magenta, 0.005f) << "magenta ribbons";
}

// Every ribbon laid across the point the section's camera looks at: the
// middle of the picture shows ribbon colours, not the ground. (The ground
// quads are drawn in unit space; the ribbons must still see the camera.)
TEST_F(PlatesFrame, Plates2RibbonsAreSeenThroughTheSectionCamera) {
    const float ms = 58668.0f;
    const float position = (ms - 57875.0f) / (89359.0f - 57875.0f);
    const PlatesCamera camera = plates2Camera(plates2CameraSection(g_beatClock->updateBeatNumber(ms)), position);
    createWalkers();
    for (Walker& w : g_walkers) {
        w.steps = kTrailLength - 1;
        for (int k = 0; k < kTrailLength; ++k) {
            w.trail[k] = camera.target + stm::Vector(0.0f, 0.0f, 0.02f * (k - kTrailLength / 2));
            w.leftEdge[k] = w.trail[k] - stm::Vector(0.5f, 0.0f, 0.0f);
            w.rightEdge[k] = w.trail[k] + stm::Vector(0.5f, 0.0f, 0.0f);
        }
        w.position = w.trail[kTrailLength - 1];
    }
    const Picture frame = frameAt(g_plates2, ms);
    int coloured = 0, total = 0;
    for (int y = kHeight / 2 - 10; y < kHeight / 2 + 10; ++y) {
        for (int x = kWidth / 2 - 10; x < kWidth / 2 + 10; ++x) {
            const unsigned char* p = &frame.pixels[(y * kWidth + x) * 4];
            coloured += std::abs(p[0] - p[1]) > 30 || std::abs(p[1] - p[2]) > 30;
            ++total;
        }
    }
    EXPECT_GT(coloured, total * 3 / 4) << coloured << " of " << total << " central pixels show a ribbon";
}

// Both effects' first frames drawn between a snapshot and its restore, as
// the warm-up draws them, change nothing in the frames drawn after: the
// latched section, the walkers and their step count, the timers, the
// generators and the analyser all come back. The same frames without the
// restore differ, so the comparison sees what the warm-up would change.
TEST_F(PlatesFrame, FramesAfterARestoredSnapshotAreThoseOfARunWithoutTheFramesBetween) {
    const std::vector<Effect*> effects = {g_plates, g_plates2};
    g_platesFirstSection = 0;
    createWalkers();
    const auto run = [] {
        std::vector<Pixels> frames;
        for (float ms : {30000.0f, 30200.0f}) frames.push_back(frameAt(g_plates, ms).pixels);
        for (float ms : {60000.0f, 60200.0f, 60400.0f}) frames.push_back(frameAt(g_plates2, ms).pixels);
        return frames;
    };
    const auto warmUp = [] {
        frameAt(g_plates, 16668.0f);
        frameAt(g_plates2, 57875.0f);
    };
    const EffectStateSnapshot start(effects);
    const std::vector<Pixels> plain = run();

    start.restore();
    {
        const EffectStateSnapshot kept(effects);
        warmUp();
        kept.restore();
    }
    const std::vector<Pixels> warmed = run();
    ASSERT_EQ(warmed.size(), plain.size());
    for (size_t i = 0; i < plain.size(); ++i) EXPECT_EQ(differingBytes(plain[i], warmed[i]), 0u) << "frame " << i;

    start.restore();
    warmUp();
    const std::vector<Pixels> unrestored = run();
    EXPECT_NE(differingBytes(plain[1], unrestored[1]), 0u) << "Plates' latched section moves its camera";
    EXPECT_NE(differingBytes(plain[4], unrestored[4]), 0u) << "Plates2's walkers walk on";
}

} // namespace
