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
#include "render/ShaderManager.h"
#include "tests/support/EffectFrameFixture.h"

namespace {

using namespace effect_frame;

// The effect's span as the timeline quantises it.
const unsigned long kStart = 178255, kEnd = 193071;

ParticleFlower* g_effect = nullptr;

class FlowerFrame : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(startEngine());
        if (!g_effect) {
            g_effect = new ParticleFlower();
            g_effect->init(kStart, kEnd);
        }
    }

    static Pixels frameAt(float position, TubeDrawMode mode) {
        g_tubeDrawMode = mode;
        const Pixels pixels =
            drawAt(g_effect, static_cast<float>(kStart) + position * static_cast<float>(kEnd - kStart));
        g_tubeDrawMode = TubeDrawMode::Buffers;
        return pixels;
    }

    // Pixels of the tubes' violet: red and blue well above green.
    static int violet(const Pixels& pixels) {
        return countPixels(pixels, [](int r, int g, int b) { return r > 2 * g + 20 && b > 2 * g + 10; });
    }
};

} // namespace

TEST_F(FlowerFrame, BuffersDrawTheSamePixelsAsImmediateMode) {
    // Growing, wilting with the cut under way, and the middle of the span.
    for (float position : {0.25f, 0.5f, 0.99f}) {
        const Pixels buffers = frameAt(position, TubeDrawMode::Buffers);
        const Pixels immediate = frameAt(position, TubeDrawMode::Immediate);
        EXPECT_EQ(differingBytes(buffers, immediate), 0u) << "at position " << position;
        if (position == 0.5f) {
            EXPECT_GT(violet(buffers), kWidth * kHeight / 20) << "no flowers to compare";
        }
    }
}

TEST_F(FlowerFrame, SameTimeGivesIdenticalPixels) {
    const Pixels first = frameAt(0.4f, TubeDrawMode::Buffers);
    frameAt(0.8f, TubeDrawMode::Buffers);
    EXPECT_EQ(differingBytes(first, frameAt(0.4f, TubeDrawMode::Buffers)), 0u);
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
    const Pixels clean = frameAt(0.3f, TubeDrawMode::Buffers);
    // GrowingMotikka draws its shells with the same shader and its own levels.
    Shader* spheres = g_shaderManager->getShader("growmotikka");
    ASSERT_NE(spheres, nullptr);
    spheres->bind();
    spheres->setUniform1f("analyzer", 3.0f);
    spheres->setUniform1f("syncDefault", 3.0f);
    Shader::unbind();
    EXPECT_EQ(differingBytes(clean, frameAt(0.3f, TubeDrawMode::Buffers)), 0u);
}
