// ParticleFlower frames rendered headless at a small size through the whole
// path and read back: the tubes drawn from their vertex buffers give the
// very pixels immediate mode gives, the flowers show their violet, and the
// same time gives the same picture.
#include <gtest/gtest.h>

#include <vector>

#include "effects/EffectHelpers.h"
#include "effects/ParticleFlower.h"
#include "engine/stagemill.h"
#include "render/GLExtensions.h"
#include "render/RenderTargets.h"
#include "render/ShaderManager.h"

namespace {

const int kWidth = 320;
const int kHeight = 180;
// The effect's span as the timeline quantises it.
const unsigned long kStart = 178255, kEnd = 193071;

ParticleFlower* g_effect = nullptr;

class EngineShutdown : public ::testing::Environment {
public:
    void TearDown() override {
        if (!g_effect) return;
        g_renderTargets.release();
        ShaderManager::release();
        stmShutDown();
    }
};
::testing::Environment* const g_shutdown = ::testing::AddGlobalTestEnvironment(new EngineShutdown);

class FlowerFrame : public ::testing::Test {
protected:
    void SetUp() override {
        if (!g_effect) {
            StmRunOptions options;
            options.headless = true;
            stmConfigure(options);
            ASSERT_TRUE(stmInitEx(kWidth, kHeight, 32, false, true, false, false, 8, 0.0f, 0.0f, "data.pak", 60));
            ASSERT_TRUE(stmReadPak("data.pak")) << "no data.pak in the build directory";
            stmInitCubemaps();
            stmUploadTextures();
            g_renderTargets.init(kWidth, kHeight);
            g_shaderManager = ShaderManager::create();
            g_spectrum = new SpectrumAnalyser(8);
            g_effect = new ParticleFlower();
            g_effect->init(kStart, kEnd);
        }
    }

    static std::vector<unsigned char> frameAt(float position, TubeDrawMode mode) {
        g_tubeDrawMode = mode;
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        g_effect->time = static_cast<float>(kStart) + position * static_cast<float>(kEnd - kStart);
        g_effect->draw();
        std::vector<unsigned char> pixels(kWidth * kHeight * 4);
        glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        g_tubeDrawMode = TubeDrawMode::Buffers;
        return pixels;
    }

    static size_t differing(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
        size_t n = 0;
        for (size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
        return n;
    }

    // Pixels of the tubes' violet: red and blue well above green.
    static int violet(const std::vector<unsigned char>& pixels) {
        int n = 0;
        for (size_t i = 0; i < pixels.size(); i += 4)
            n += pixels[i] > 2 * pixels[i + 1] + 20 && pixels[i + 2] > 2 * pixels[i + 1] + 10;
        return n;
    }
};

} // namespace

TEST_F(FlowerFrame, BuffersDrawTheSamePixelsAsImmediateMode) {
    // Growing, wilting with the cut under way, and the middle of the span.
    for (float position : {0.25f, 0.5f, 0.99f}) {
        const std::vector<unsigned char> buffers = frameAt(position, TubeDrawMode::Buffers);
        const std::vector<unsigned char> immediate = frameAt(position, TubeDrawMode::Immediate);
        EXPECT_EQ(differing(buffers, immediate), 0u) << "at position " << position;
        if (position == 0.5f) {
            EXPECT_GT(violet(buffers), kWidth * kHeight / 20) << "no flowers to compare";
        }
    }
}

TEST_F(FlowerFrame, SameTimeGivesIdenticalPixels) {
    const std::vector<unsigned char> first = frameAt(0.4f, TubeDrawMode::Buffers);
    frameAt(0.8f, TubeDrawMode::Buffers);
    EXPECT_EQ(differing(first, frameAt(0.4f, TubeDrawMode::Buffers)), 0u);
}

TEST_F(FlowerFrame, BackgroundKeepsTheCamera) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    stmLookAt(2.9f, 0.5f, 3.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f);
    float camera[16], after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, camera);
    drawFlowerBackground(0.3f, 1.0f, 0.5f);
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(after[i], camera[i]) << "modelview entry " << i;
}

TEST_F(FlowerFrame, SpheresIgnoreTheLevelsAnotherEffectLeftInTheirShader) {
    const std::vector<unsigned char> clean = frameAt(0.3f, TubeDrawMode::Buffers);
    // GrowingMotikka draws its shells with the same shader and its own levels.
    Shader* spheres = g_shaderManager->getShader("growmotikka");
    ASSERT_NE(spheres, nullptr);
    spheres->bind();
    spheres->setUniform1f("analyzer", 3.0f);
    spheres->setUniform1f("syncDefault", 3.0f);
    Shader::unbind();
    EXPECT_EQ(differing(clean, frameAt(0.3f, TubeDrawMode::Buffers)), 0u);
}
