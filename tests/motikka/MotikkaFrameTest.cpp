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
#include "render/RenderTargets.h"
#include "render/ShaderManager.h"
#include "scene/Scene.h"

namespace {

const int kWidth = 320;
const int kHeight = 180;
// GrowingMotikka's span as the timeline quantises it.
const unsigned long kMotikkaStart = 118991;
const unsigned long kMotikkaEnd = 163902;
const unsigned long kSliceEnd = 178255;

bool g_engineStarted = false;
GrowingMotikka* g_motikka = nullptr;
SlicedSphere* g_sliced = nullptr;

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

class MotikkaFrame : public ::testing::Test {
protected:
    // One engine, archive and effect for all cases, started by the first
    // case (a failure there fails every case rather than skipping it).
    void SetUp() override {
        if (!g_engineStarted) {
            g_engineStarted = true;
            StmRunOptions options;
            options.headless = true;
            options.mute = true;
            options.fixedFps = 60;
            stmConfigure(options);
            ASSERT_TRUE(stmInitEx(kWidth, kHeight, 32, false, true, false, false, 8, 0.0f, 0.0f, "data.pak", 60));
            ASSERT_TRUE(stmReadPak("data.pak")) << "no data.pak in the build directory";
            stmInitCubemaps();
            stmUploadTextures();
            g_renderTargets.init(kWidth, kHeight);
            g_shaderManager = ShaderManager::create();
            g_spectrum = new SpectrumAnalyser(8);
            g_beatClock = new BeatClock(129.5f, 350);
            stmInitTimer();
            g_motikka = new GrowingMotikka();
            g_motikka->init(kMotikkaStart, kMotikkaEnd);
            g_sliced = new SlicedSphere();
            g_sliced->init(kMotikkaEnd, kSliceEnd);
        }
        ASSERT_NE(g_sliced, nullptr) << "the effects could not be set up";
    }

    static std::vector<unsigned char> readWindow() {
        std::vector<unsigned char> pixels(kWidth * kHeight * 4);
        glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    // Pixels of the frame that pass `is`; only the central third (of width
    // and height) when `central`.
    template <class Test>
    static int count(const std::vector<unsigned char>& pixels, Test is, bool central = false) {
        const int x0 = central ? kWidth / 3 : 0, x1 = central ? 2 * kWidth / 3 : kWidth;
        const int y0 = central ? kHeight / 3 : 0, y1 = central ? 2 * kHeight / 3 : kHeight;
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const unsigned char* p = &pixels[(y * kWidth + x) * 4];
                n += is(p[0], p[1], p[2]);
            }
        return n;
    }

    // The frame the main loop draws at song time `ms`.
    static std::vector<unsigned char> frameAt(stm::Base* effect, float ms) {
        stmAdjustTime(ms - stmGetTime());
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        effect->time = stmGetTime();
        effect->draw();
        return readWindow();
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
    const std::vector<unsigned char> pixels = frameAt(g_sliced, 167490.0f);
    const int pink = count(pixels, [](int r, int g, int b) { return r > 110 && r > 2 * g && r > b + 30; }, true);
    EXPECT_GT(pink, (kWidth / 3) * (kHeight / 3) / 8) << "the sky is magenta (red and blue alike), the sphere pink";
}

TEST_F(MotikkaFrame, ClosingBlindsCoverTheScreenAtTheEndOnly) {
    for (float position : {0.95f, 0.98f, 1.0f}) {
        glDisable(GL_BLEND);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_TEXTURE_2D);
        glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        drawSlicedSphereBlinds(position);
        const std::vector<unsigned char> pixels = readWindow();
        int black = 0;
        for (size_t i = 0; i < pixels.size(); i += 4) black += pixels[i] < 128;
        const float covered = black / float(kWidth * kHeight);
        if (position == 0.95f) EXPECT_EQ(black, 0) << "blinds visible before 0.96";
        else if (position == 1.0f) EXPECT_EQ(covered, 1.0f) << "the blinds leave gaps at the end";
        else EXPECT_NEAR(covered, 0.25f, 0.05f) << "half way in time, a quarter closed (eased, squared)";
    }
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
}

} // namespace
