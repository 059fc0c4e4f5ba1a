// GrowingMotikka, SlicedSphere and the shared effect resources rendered
// headless at a small size through the whole path (archive, scenes, cube
// maps, shaders, render targets, post chain) and read back.
#include <gtest/gtest.h>

#include <vector>

#include "effects/EffectHelpers.h"
#include "effects/EffectShaders.h"
#include "effects/GrowingMotikka.h"
#include "effects/SharedResources.h"
#include "effects/SlicedSphere.h"
#include "engine/stagemill.h"
#include "render/Cubemap.h"
#include "render/GLExtensions.h"
#include "scene/Scene.h"
#include "tests/support/EffectFrameFixture.h"

namespace {

using namespace effect_frame;

// GrowingMotikka's span as the timeline quantises it.
const unsigned long kMotikkaStart = 118991;
const unsigned long kMotikkaEnd = 163902;
const unsigned long kSliceEnd = 178255;

GrowingMotikka* g_motikka = nullptr;
SlicedSphere* g_sliced = nullptr;

class MotikkaFrame : public ::testing::Test {
protected:
    // One engine, archive and effect for all cases, started by the first
    // case (a failure there fails every case rather than skipping it).
    void SetUp() override {
        EngineSetup setup;
        setup.options.mute = true;
        setup.options.fixedFps = 60;
        setup.beatClock = true;
        setup.startTimer = true;
        ASSERT_NO_FATAL_FAILURE(startEngine(setup));
        if (!g_sliced) {
            g_motikka = new GrowingMotikka();
            g_motikka->init(kMotikkaStart, kMotikkaEnd);
            g_sliced = new SlicedSphere();
            g_sliced->init(kMotikkaEnd, kSliceEnd);
        }
    }

    // Pixels of the frame that pass `is`; only the central third (of width
    // and height) when `central`.
    template <class Test>
    static int count(const Pixels& pixels, Test is, bool central = false) {
        if (!central) return countPixels(pixels, is);
        return countPixels(pixels, is, kWidth / 3, kHeight / 3, 2 * kWidth / 3, 2 * kHeight / 3);
    }

    // The frame the main loop draws at song time `ms`.
    static Pixels frameAt(stm::Base* effect, float ms) {
        stmAdjustTime(ms - stmGetTime());
        return drawAt(effect, stmGetTime());
    }
};

// The face images as uploaded: the engine's RGBA of a texture.
const unsigned char* imageOf(const char* name) {
    stm::Texture* t = stmGetTexture(name);
    return t ? t->getImgData() : nullptr;
}

TEST_F(MotikkaFrame, SharedResourcesExistWithFacesInPlace) {
    ASSERT_NE(g_geosphereScene, nullptr);
    EXPECT_EQ(g_geosphereScene->getNodeCount(), 3u) << "two geospheres and the root";
    ASSERT_NE(g_envCubemap, nullptr);
    ASSERT_NE(g_darkCubemap, nullptr);
    EXPECT_NE(g_envCubemap->getID(), g_darkCubemap->getID());
    for (int i = 0; i < kDustCount; ++i) ASSERT_EQ(g_dust[i].index, i);

    // Each GL face holds the image of its own name: +X "px", -Z "nz", ...
    const char* const faces[6] = {"px.png", "nx.png", "py.png", "ny.png", "pz.png", "nz.png"};
    for (int dark = 0; dark < 2; ++dark) {
        const Cubemap* cube = dark ? g_darkCubemap : g_envCubemap;
        for (int f = 0; f < 6; ++f) {
            const std::string name = std::string(dark ? "dark_" : "") + faces[f];
            const unsigned char* image = imageOf(name.c_str());
            ASSERT_NE(image, nullptr) << name;
            const int size = stmGetTexture(name.c_str())->getWidth();
            std::vector<unsigned char> face(size * size * 4);
            glBindTexture(GL_TEXTURE_CUBE_MAP, cube->getID());
            glGetTexImage(GL_TEXTURE_CUBE_MAP_POSITIVE_X + f, 0, GL_RGBA, GL_UNSIGNED_BYTE, face.data());
            long difference = 0;
            for (int i = 0; i < size * size * 4; i += 4 * 97)
                for (int c = 0; c < 3; ++c) difference += std::abs(int(face[i + c]) - int(image[i + c]));
            EXPECT_LT(difference, 64) << name << " is not on face " << f;
        }
    }
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
}

TEST_F(MotikkaFrame, MissingShaderLeavesNoProgramBound) {
    ASSERT_NE(useEffectShader("growmotikka"), nullptr);
    GLint program = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    ASSERT_NE(program, 0);
    EXPECT_EQ(useEffectShader("no_such_shader"), nullptr);
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    EXPECT_EQ(program, 0) << "geometry would be drawn with the previous shader";
}

// Shell colours the sky, flares and dust never show: the sky is magenta
// (red and blue alike), flares and dust white.
bool lime(int r, int g, int b) { return g > 90 && g > r + 30 && g > 2 * b; }
bool ember(int r, int g, int b) { return r > 100 && r > 3 * g && r > 3 * b; }
bool shellColour(int r, int g, int b) { return lime(r, g, b) || ember(r, g, b); }

TEST_F(MotikkaFrame, ShellsAppearOneBeatAtATimeFromTheFirstFrame) {
    g_motikkaFirstBeat = 0;
    const float start = kMotikkaStart + 100.0f;
    const int firstShells = count(frameAt(g_motikka, start), shellColour);
    int laterLime = 0;
    for (int beat = 1; beat <= 12; ++beat) laterLime = count(frameAt(g_motikka, start + 463.32f * beat), lime);
    EXPECT_EQ(firstShells, 0) << "no shell in the first beat";
    EXPECT_GT(laterLime, 200) << "twelve beats later the lime shells 7, 10, 13 and 16 are drawn";
}

TEST_F(MotikkaFrame, SlicesMeetAsAPinkSphereInTheMiddle) {
    // Position 0.25: the pulse has the slices nearly together, the camera
    // outside the sphere looking at its centre.
    const Pixels pixels = frameAt(g_sliced, 167490.0f);
    const int pink = count(
        pixels, [](int r, int g, int b) { return r > 110 && r > 2 * g && r > b + 30; }, true);
    EXPECT_GT(pink, (kWidth / 3) * (kHeight / 3) / 8) << "the sky is magenta (red and blue alike), the sphere pink";
}

TEST_F(MotikkaFrame, ClosingBlindsCoverTheScreenAtTheEndOnly) {
    for (float position : {0.95f, 0.98f, 1.0f}) {
        const int black =
            count(blindsOverWhite(drawSlicedSphereBlinds, position), [](int r, int, int) { return r < 128; });
        const float covered = black / float(kWidth * kHeight);
        if (position == 0.95f)
            EXPECT_EQ(black, 0) << "blinds visible before 0.96";
        else if (position == 1.0f)
            EXPECT_EQ(covered, 1.0f) << "the blinds leave gaps at the end";
        else
            EXPECT_NEAR(covered, 0.25f, 0.05f) << "half way in time, a quarter closed (eased, squared)";
    }
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
}

} // namespace
