// DanceCube and Doors rendered headless at a small size through the whole
// path (archive, scene, shaders, render targets, post-processing) and read
// back: the engine runs DanceCube before Doors whatever the registration
// order, Doors' first section shows tex1024 unchanged, later sections show
// only the left half of the picture on the leaves, and DanceCube's picture
// is dressed as intended, repeats exactly at the same time and survives a
// scene that did not load.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "effects/DanceCube.h"
#include "effects/Doors.h"
#include "effects/EffectHelpers.h"
#include "engine/stagemill.h"
#include "render/GLExtensions.h"
#include "render/RenderTargets.h"
#include "render/ShaderManager.h"
#include "shell/Timeline.h"
#include "tests/support/EffectFrameFixture.h"

namespace {

using namespace effect_frame;

const int kTex = 1024;

// The span both effects share (193 to 257 beats) and times in it: the
// first Doors section, then sections with patterns 1, 2, 3 and 0.
const unsigned kStart = 89359, kEnd = 118991;
const float kFirstSection = 90500.0f;
const float kPattern[4] = {105000.0f, 94000.0f, 97800.0f, 101500.0f};

void silence(float* buffer, int count) {
    for (int i = 0; i < count; ++i) buffer[i] = 0.0f;
}
float noTime() { return 0.0f; }

struct Rgba {
    int r, g, b, a;
};

class DanceFrame : public ::testing::Test {
protected:
    // One engine on a fixed clock for all cases, started by the first case.
    void SetUp() override {
        EngineSetup setup;
        setup.options.fixedFps = 60;
        // A silent, steady analyser: the same time draws the same picture.
        static SpectrumAnalyser* const silentAnalyser = new SpectrumAnalyser(8, silence, noTime);
        setup.analyser = silentAnalyser;
        setup.beatClock = true;
        setup.startTimer = true;
        ASSERT_NO_FATAL_FAILURE(startEngine(setup));
    }

    static void setTime(float ms) { stmAdjustTime(ms - stmGetTime()); }

    // A `width` x `height` texture's RGBA level 0; leaves it bound.
    static Pixels readTexture(GLuint texture, int width, int height) {
        Pixels pixels(width * height * 4);
        glBindTexture(GL_TEXTURE_2D, texture);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    static Pixels readTex1024() { return readTexture(g_renderTargets.tex1024, kTex, kTex); }

    static Rgba at(const Pixels& p, int width, int x, int y) {
        const unsigned char* q = &p[(y * width + x) * 4];
        return Rgba{q[0], q[1], q[2], q[3]};
    }

    // An RGBA picture read back from GL.
    struct Picture {
        std::vector<unsigned char> pixels;
        int width, height;
    };

    // The picture read at (s, t) with linear filtering and clamping, as a
    // full-screen quad samples it.
    static Rgba sampleLinear(const Picture& tex, float s, float t) {
        const float u = s * tex.width - 0.5f, v = t * tex.height - 0.5f;
        const int u0 = static_cast<int>(std::floor(u)), v0 = static_cast<int>(std::floor(v));
        const float fu = u - u0, fv = v - v0;
        auto texel = [&](int x, int y, int c) {
            x = std::clamp(x, 0, tex.width - 1);
            y = std::clamp(y, 0, tex.height - 1);
            return static_cast<float>(tex.pixels[(y * tex.width + x) * 4 + c]);
        };
        int out[4];
        for (int c = 0; c < 4; ++c) {
            const float top = texel(u0, v0, c) * (1 - fu) + texel(u0 + 1, v0, c) * fu;
            const float bottom = texel(u0, v0 + 1, c) * (1 - fu) + texel(u0 + 1, v0 + 1, c) * fu;
            out[c] = static_cast<int>(top * (1 - fv) + bottom * fv + 0.5f);
        }
        return Rgba{out[0], out[1], out[2], out[3]};
    }

    // Largest colour difference between `target` and `source` drawn upright
    // over the whole of it.
    static int differenceFrom(const Picture& target, const Picture& source) {
        int worst = 0;
        for (int y = 0; y < target.height; ++y)
            for (int x = 0; x < target.width; ++x) {
                const Rgba a = at(target.pixels, target.width, x, y);
                const Rgba b = sampleLinear(source, (x + 0.5f) / target.width, (y + 0.5f) / target.height);
                worst = std::max({worst, std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
            }
        return worst;
    }
    static int differenceFromTex1024(const Pixels& screen, const Pixels& tex) {
        return differenceFrom(Picture{screen, kWidth, kHeight}, Picture{tex, kTex, kTex});
    }

    // Fills tex1024 with four flat quadrants: red top left, blue top right,
    // green bottom left, white bottom right (t = 1 is the top).
    static void paintQuadrants() {
        std::vector<unsigned char> pixels(kTex * kTex * 4);
        for (int y = 0; y < kTex; ++y)
            for (int x = 0; x < kTex; ++x) {
                const bool top = y >= kTex / 2, left = x < kTex / 2;
                unsigned char* q = &pixels[(y * kTex + x) * 4];
                q[0] = (top && left) || (!top && !left) ? 255 : 0;
                q[1] = !top ? 255 : 0;
                q[2] = !left ? 255 : 0;
                q[3] = 255;
            }
        glBindTexture(GL_TEXTURE_2D, g_renderTargets.tex1024);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, kTex, kTex, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    }

    // How much of a tex1024 picture (every fourth texel) is tile pink and
    // how much background teal.
    struct Palette {
        int pink = 0, teal = 0, samples = 0;
    };
    static Palette paletteOf(const Pixels& picture) {
        Palette p;
        for (int y = 0; y < kTex; y += 4)
            for (int x = 0; x < kTex; x += 4) {
                const Rgba c = at(picture, kTex, x, y);
                if (c.r > 90 && c.r > 2 * c.g && c.b > c.g) ++p.pink;
                if (c.g > c.r + 8 && c.b > c.r + 8) ++p.teal;
                ++p.samples;
            }
        return p;
    }

    static void drawAt(Effect& effect, float ms) {
        setTime(ms);
        effect.time = stmGetTime();
        effect.draw();
    }
};

TEST_F(DanceFrame, EngineRunsDanceCubeBeforeDoorsWhateverTheRegistrationOrder) {
    const TimelineSpan* dance = nullptr;
    const TimelineSpan* doors = nullptr;
    const std::vector<TimelineSpan> spans = timelineSpans(*g_beatClock);
    for (const TimelineSpan& span : spans) {
        if (!std::strcmp(span.name, "collada5")) dance = &span;
        if (!std::strcmp(span.name, "collada6")) doors = &span;
    }
    ASSERT_TRUE(dance && doors && dance->create && doors->create);
    EXPECT_EQ(dance->layer, 0);
    EXPECT_EQ(doors->layer, 10);
    EXPECT_EQ(dance->start, kStart);
    EXPECT_EQ(dance->end, kEnd);
    EXPECT_EQ(doors->start, dance->start);
    EXPECT_EQ(doors->end, dance->end);

    // Registered the wrong way round: only the layers put DanceCube first.
    stmAddEffect(doors->start, doors->end, doors->layer, doors->name, doors->create());
    stmAddEffect(dance->start, dance->end, dance->layer, dance->name, dance->create());
    stmInitEffects();
    g_danceFirstSection = 0;
    g_doorsFirstSection = 0;
    setTime(kFirstSection);
    clearWindow();
    stmRun();
    const Pixels screen = readWindow();
    const Pixels tex = readTex1024();
    stmClearEffects();

    // Had DanceCube run second, its clear would have left the screen black.
    long sum = 0;
    for (size_t i = 0; i < screen.size(); i += 4) sum += screen[i] + screen[i + 1] + screen[i + 2];
    EXPECT_GT(sum / (kWidth * kHeight), 30) << "the screen is black";
    EXPECT_LE(differenceFromTex1024(screen, tex), 3);
}

TEST_F(DanceFrame, DoorsShowThePictureFirstThenItsLeftHalfOnTheLeaves) {
    Doors doors;
    doors.init(kStart, kEnd);
    g_doorsFirstSection = 0;

    paintQuadrants();
    clearWindow();
    drawAt(doors, kFirstSection);
    Pixels screen = readWindow();
    EXPECT_LE(differenceFromTex1024(screen, readTex1024()), 3);
    EXPECT_EQ(at(screen, kWidth, 40, kHeight - 20).r, 255);          // red top left
    EXPECT_EQ(at(screen, kWidth, kWidth - 40, kHeight - 20).b, 255); // blue top right

    for (int pattern = 0; pattern < 4; ++pattern) {
        paintQuadrants();
        clearWindow();
        drawAt(doors, kPattern[pattern]);
        screen = readWindow();
        int red = 0, green = 0, right = 0, redInLowerHalf = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const Rgba c = at(screen, kWidth, x, y);
                if (c.b > std::max(c.r, c.g) + 40 || (c.r > 200 && c.g > 200 && c.b > 200)) ++right;
                if (c.r > 60 && c.r > 3 * c.g) {
                    ++red;
                    if (y < kHeight / 2 - 10) ++redInLowerHalf;
                }
                if (c.g > 60 && c.g > 3 * c.r) ++green;
            }
        EXPECT_EQ(right, 0) << "pattern " << pattern << ": the right half of the picture is on screen";
        EXPECT_GT(red, kWidth * kHeight / 20) << "pattern " << pattern;
        EXPECT_GT(green, kWidth * kHeight / 20) << "pattern " << pattern;
        EXPECT_EQ(redInLowerHalf, 0) << "pattern " << pattern << ": the leaves are upside down";
    }
}

TEST_F(DanceFrame, DanceCubeDrawsPinkCubesOnTealAndRepeatsAtTheSameTime) {
    DanceCube dance;
    dance.init(kStart, kEnd);
    g_danceFirstSection = 0;
    clearWindow();
    drawAt(dance, 101000.0f);
    const Pixels first = readTex1024();
    drawAt(dance, 101000.0f);
    const Pixels again = readTex1024();
    EXPECT_TRUE(first == again) << "the same time drew a different picture";

    const Palette palette = paletteOf(first);
    EXPECT_GT(palette.pink, palette.samples / 100) << "no pink tiles";
    EXPECT_GT(palette.teal, palette.samples / 5) << "no teal background";

    // Background and trails go to the colour target only: where they show,
    // the normal and depth targets keep their cleared zeros, so the occlusion
    // pass sees open space there rather than colours read as depths.
    int open = 0;
    for (GLuint target : {g_renderTargets.texScreenNormal, g_renderTargets.texScreenDepth}) {
        const Pixels pixels = readTexture(target, kWidth, kHeight);
        for (size_t i = 0; i < pixels.size(); i += 4) open += !pixels[i] && !pixels[i + 1] && !pixels[i + 2];
    }
    EXPECT_GT(open, 2 * kWidth * kHeight / 5) << "the background reached the normal or depth target";
}

TEST_F(DanceFrame, WithoutItsSceneDanceCubeShowsTheBackgroundUnoccluded) {
    DanceCube dance;
    dance.init(kStart, kEnd);
    Scene* const scene = g_danceScene;
    g_danceScene = nullptr; // what a "chamfercube.dae" without a COLLADA root gives
    drawAt(dance, 101000.0f);
    g_danceScene = scene;
    const Pixels picture = readTex1024();
    const Palette palette = paletteOf(picture);
    EXPECT_EQ(palette.pink, 0);
    EXPECT_GT(palette.teal, palette.samples / 2);

    // Background and trails are open to the occlusion pass: the combined
    // picture is the scene colour, undarkened.
    const Pixels colour = readTexture(g_renderTargets.texScreenColor, kWidth, kHeight);
    EXPECT_LE(differenceFrom(Picture{picture, kTex, kTex}, Picture{colour, kWidth, kHeight}), 3);
}

TEST_F(DanceFrame, BothShadersLink) {
    for (const char* name : {"dancecube", "doors"}) {
        Shader* shader = g_shaderManager->getShader(name);
        ASSERT_NE(shader, nullptr) << name << " is not in the archive";
        GLint linked = 0;
        glGetObjectParameterivARB(shader->program, GL_OBJECT_LINK_STATUS_ARB, &linked);
        EXPECT_TRUE(linked) << name;
    }
}

} // namespace
