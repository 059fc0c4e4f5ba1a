// Editing the data directory while the programme plays (--watch), through
// the frame loop on a fixed clock: shader texts, includes, images and cube
// faces rebuilt at the start of the next frame, broken and half-written
// edits that keep what was there, and the render-target view that cycles
// through every target the frame wrote and back to the picture.
#include "engine/stagemill.h"
#include "render/Cubemap.h"
#include "render/PostProcess.h"
#include "render/RenderTargets.h"
#include "render/ShaderManager.h"
#include "shell/FrameLoop.h"
#include "shell/LiveReload.h"
#include "shell/Timeline.h"
#include "shell/Viewer.h"
#include "tests/engine/TestData.h"
#include "tests/support/EffectFrameFixture.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using effect_frame::kHeight;
using effect_frame::kWidth;

namespace {

const char* const kVertex = "void main()\n{\n    gl_Position = ftransform();\n}\n";

std::string fragment(const char* colour) {
    return std::string("void main()\n{\n    gl_FragColor = ") + colour + ";\n}\n";
}

std::string colourInclude(const char* colour) {
    return std::string("vec4 probeColour()\n{\n    return ") + colour + ";\n}\n";
}

Bytes solidPng(int size, unsigned char r, unsigned char g, unsigned char b) {
    std::vector<unsigned char> pixels;
    for (int i = 0; i < size * size; ++i) pixels.insert(pixels.end(), {r, g, b});
    return pngBytes(size, size, 3, pixels);
}

// Draws the "probe" shader over the whole window, as an effect would.
class ProbeEffect : public stm::Base {
public:
    void draw() override { render(0.0f, 1.0f); }
    void render(float, float) override {
        Shader* shader = g_shaderManager->getShader("probe");
        ASSERT_NE(shader, nullptr);
        shader->bind();
        glDisable(GL_DEPTH_TEST);
        stmPerspective2D(1.0f, 1.0f);
        glLoadIdentity();
        drawUnitQuad();
        Shader::unbind();
        stmPerspective3D();
    }
};

const std::string& dataDir() {
    static const std::string dir = [] {
        std::string d = makeTempDir("live-reload");
        writeFile(d + "/probe.vert.glsl", textBytes(kVertex));
        writeFile(d + "/probe.frag.glsl",
                  textBytes("#include \"probe_colour.glsl\"\nvoid main()\n{\n    gl_FragColor = probeColour();\n}\n"));
        writeFile(d + "/probe_colour.glsl", textBytes(colourInclude("vec4(1.0, 0.0, 0.0, 1.0)")));
        writeFile(d + "/probe.png", solidPng(4, 255, 0, 0));
        for (const char* face : {"px", "nx", "py", "ny", "pz", "nz"})
            writeFile(d + "/probecube_" + face + ".png", solidPng(8, 0, 0, 255));
        return d;
    }();
    return dir;
}

class RemoveDataDir : public ::testing::Environment {
public:
    void TearDown() override { fs::remove_all(dataDir()); }
};
::testing::Environment* const g_removeDataDir = ::testing::AddGlobalTestEnvironment(new RemoveDataDir);

// Replaces a file the way an editor saving in one go does.
void save(const std::string& name, const std::string& text) { writeFile(dataDir() + "/" + name, textBytes(text)); }

class LiveReloadTest : public ::testing::Test {
protected:
    void SetUp() override {
        static bool registered = false;
        effect_frame::EngineSetup setup;
        setup.options.dataDir = dataDir().c_str();
        setup.options.fixedFps = 10;
        ASSERT_NO_FATAL_FAILURE(effect_frame::startEngine(setup));
        if (!registered) {
            registered = true;
            stmAddEffect(0, 200000, 0, "probe", new ProbeEffect);
            stmInitTimer();
            ASSERT_TRUE(stmWatchData());
        }
        loop.reloads = &report;
    }
    // The centre pixel of the next frame.
    std::vector<int> nextFrameCentre() {
        loop.frame();
        unsigned char p[4];
        glReadPixels(kWidth / 2, kHeight / 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
        return {p[0], p[1], p[2]};
    }
    std::string messages() const {
        std::string all;
        for (const ReloadReport::Message& m : report.messages()) all += m.text + "\n";
        return all;
    }
    FrameLoop loop;
    ReloadReport report;
};

const std::vector<int> kRed = {255, 0, 0}, kGreen = {0, 255, 0}, kBlue = {0, 0, 255}, kWhite = {255, 255, 255};

TEST_F(LiveReloadTest, AnEditedShaderTextOrIncludeChangesTheNextFrame) {
    save("probe_colour.glsl", colourInclude("vec4(1.0, 0.0, 0.0, 1.0)"));
    nextFrameCentre();
    EXPECT_EQ(nextFrameCentre(), kRed);
    Shader* before = g_shaderManager->getShader("probe");

    save("probe_colour.glsl", colourInclude("vec4(0.0, 1.0, 0.0, 1.0)"));
    EXPECT_EQ(nextFrameCentre(), kGreen) << "an edited include rebuilds the shaders that include it";
    EXPECT_NE(messages().find("shader probe rebuilt"), std::string::npos) << messages();

    save("probe.frag.glsl", fragment("vec4(0.0, 0.0, 1.0, 1.0)"));
    EXPECT_EQ(nextFrameCentre(), kBlue) << "an edited half of the pair rebuilds it";
    EXPECT_EQ(g_shaderManager->getShader("probe"), before) << "the registered object stays the one users hold";

    save("probe.frag.glsl",
         "uniform float level /*0_4*/;\nvoid main()\n{\n    gl_FragColor = vec4(level * 0.25);\n}\n");
    nextFrameCentre();
    ASSERT_EQ(before->uniforms.size(), 1u) << "the uniform annotations are scanned again";
    EXPECT_FLOAT_EQ(before->uniforms.get(0)->maximum, 4.0f);
    save("probe.frag.glsl", fragment("vec4(0.0, 0.0, 1.0, 1.0)"));
    EXPECT_EQ(nextFrameCentre(), kBlue);
}

TEST_F(LiveReloadTest, ABrokenEditKeepsTheOldProgramAndReportsTheErrorUntilFixed) {
    save("probe.frag.glsl", fragment("vec4(0.0, 1.0, 0.0, 1.0)"));
    EXPECT_EQ(nextFrameCentre(), kGreen);

    save("probe.frag.glsl", "void main()\n{\n    gl_FragColor = vec4(1.0, 0.0, 0.0, 1.0)\n}\n"); // no ';'
    EXPECT_EQ(nextFrameCentre(), kGreen) << "the previous program stays in use";
    EXPECT_TRUE(g_shaderManager->getShader("probe")->isInitialised());
    EXPECT_NE(report.openError().find("shader probe failed: "), std::string::npos) << report.openError();
    EXPECT_GT(report.openError().size(), std::string("shader probe failed: ").size())
        << "the compiler's message is shown";
    EXPECT_EQ(nextFrameCentre(), kGreen);
    EXPECT_FALSE(report.openError().empty()) << "the error stays shown until fixed";

    save("probe_missing.frag.glsl", "#include \"nowhere.glsl\"\nvoid main(){}\n");
    save("probe_missing.vert.glsl", kVertex);
    nextFrameCentre();
    EXPECT_NE(messages().find("nowhere.glsl"), std::string::npos) << messages();

    save("probe.frag.glsl", fragment("vec4(1.0, 1.0, 1.0, 1.0)"));
    EXPECT_EQ(nextFrameCentre(), kWhite);
    EXPECT_EQ(report.openError().find("shader probe "), std::string::npos) << report.openError();
}

TEST_F(LiveReloadTest, AHalfWrittenFileIsNotReadUntilItsWriterClosesIt) {
    save("probe.frag.glsl", fragment("vec4(1.0, 0.0, 0.0, 1.0)"));
    EXPECT_EQ(nextFrameCentre(), kRed);
    const std::string text = fragment("vec4(0.0, 1.0, 0.0, 1.0)");
    {
        std::ofstream out(dataDir() + "/probe.frag.glsl", std::ios::binary | std::ios::trunc);
        out << text.substr(0, text.size() / 2);
        out.flush();
        const size_t messagesBefore = report.messages().size();
        EXPECT_EQ(nextFrameCentre(), kRed);
        EXPECT_EQ(nextFrameCentre(), kRed);
        EXPECT_EQ(report.messages().size(), messagesBefore) << "nothing was read yet: " << messages();
        out << text.substr(text.size() / 2);
    }
    EXPECT_EQ(nextFrameCentre(), kGreen);
    EXPECT_TRUE(report.openError().empty()) << report.openError();
}

TEST_F(LiveReloadTest, AnImageEditReuploadsIntoTheSameTextureWithItsSamplingAndCubeMap) {
    stm::Texture* texture = stmGetTexture("probe.png");
    const GLuint id = texture->getID();
    stmSetTextureParameter("probe.png", GL_TEXTURE_WRAP_S, float(GL_CLAMP_TO_EDGE));
    Cubemap cube;
    cube.setupStatic(stmGetTexture("probecube_px.png"), stmGetTexture("probecube_nx.png"),
                     stmGetTexture("probecube_py.png"), stmGetTexture("probecube_ny.png"),
                     stmGetTexture("probecube_pz.png"), stmGetTexture("probecube_nz.png"));

    writeFile(dataDir() + "/probe.png", solidPng(8, 0, 255, 0));
    writeFile(dataDir() + "/probecube_ny.png", solidPng(8, 255, 255, 0));
    nextFrameCentre();
    EXPECT_EQ(stmGetTexture("probe.png"), texture);
    EXPECT_EQ(texture->getID(), id);
    EXPECT_EQ(texture->getWidth(), 8);
    EXPECT_EQ(texture->getImgData()[1], 255);
    glBindTexture(GL_TEXTURE_2D, id);
    GLint wrap = 0, width = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(wrap, GL_CLAMP_TO_EDGE) << "the sampling parameters stay";
    EXPECT_EQ(width, 8);
    std::vector<unsigned char> texels(8 * 8 * 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_EQ(std::vector<int>({texels[0], texels[1], texels[2]}), kGreen);
    cube.bind();
    glGetTexImage(GL_TEXTURE_CUBE_MAP_NEGATIVE_Y, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_EQ(std::vector<int>({texels[0], texels[1], texels[2]}), std::vector<int>({255, 255, 0}));
    EXPECT_NE(messages().find("probecube_ny.png reloaded with its cube map"), std::string::npos) << messages();

    writeFile(dataDir() + "/probe.png", textBytes("not an image any more"));
    writeFile(dataDir() + "/notes.txt", textBytes("a note"));
    nextFrameCentre();
    EXPECT_EQ(texture->getWidth(), 8) << "an image that does not decode keeps the old one";
    EXPECT_NE(report.openError().find("probe.png not reloaded: not a readable image"), std::string::npos)
        << report.openError();
    EXPECT_NE(messages().find("notes.txt changed: not reloaded while playing"), std::string::npos) << messages();
}

// Writes every viewed target with its own colour: the depth targets hold a
// packed depth of 1/4 on their left half and 1/2 on their right.
class TargetsProbe : public stm::Base {
public:
    void draw() override { render(0.0f, 1.0f); }
    void render(float, float) override {
        RenderTargets& rt = g_renderTargets;
        auto halves = [](int w, int h) {
            glEnable(GL_SCISSOR_TEST);
            glScissor(0, 0, w / 2, h);
            glClearColor(64.0f / 255.0f, 0.0f, 0.0f, 1.0f);
            glClear(GL_COLOR_BUFFER_BIT);
            glScissor(w / 2, 0, w - w / 2, h);
            glClearColor(128.0f / 255.0f, 0.0f, 0.0f, 1.0f);
            glClear(GL_COLOR_BUFFER_BIT);
            glDisable(GL_SCISSOR_TEST);
        };
        auto clear = [](float r, float g, float b) {
            glClearColor(r, g, b, 1.0f);
            glClear(GL_COLOR_BUFFER_BIT);
        };
        rt.bindTextureFBO2048(rt.tex2048);
        halves(2048, 2048);
        rt.unbind();
        rt.bindScreenFBOMRT(true);
        const GLenum attachments[3] = {GL_COLOR_ATTACHMENT0_EXT, GL_COLOR_ATTACHMENT1_EXT, GL_COLOR_ATTACHMENT2_EXT};
        glDrawBuffer(attachments[0]);
        clear(1.0f, 0.0f, 0.0f);
        glDrawBuffer(attachments[1]);
        clear(0.0f, 1.0f, 0.0f);
        glDrawBuffer(attachments[2]);
        halves(kWidth, kHeight);
        glDrawBuffers(3, attachments);
        rt.unbind();
        rt.bindScreenFBOHalf(rt.texHalfSSAO);
        clear(0.0f, 0.0f, 1.0f);
        rt.bindScreenFBOQuarter(rt.texQuarterA);
        clear(1.0f, 1.0f, 0.0f);
        rt.bindScreenFBOHalf(rt.texHalfA);
        clear(0.0f, 1.0f, 1.0f);
        rt.bindScreenFBOScreenNormal(rt.texScreenBlurA);
        clear(0.4f, 0.4f, 0.4f);
        rt.bindScreenFBOScreenNormal(rt.texScreenCombined);
        clear(1.0f, 0.0f, 1.0f);
        rt.bindTextureFBO1024(rt.tex1024, true);
        clear(1.0f, 0.6f, 0.0f);
        rt.unbind();
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    }
};

TEST_F(LiveReloadTest, TheTargetViewCyclesThroughEveryTargetTheFrameWroteAndBack) {
    save("probe.frag.glsl", fragment("vec4(1.0, 1.0, 1.0, 1.0)"));
    nextFrameCentre();
    stmAddEffect(0, 200000, 1, "targets", new TargetsProbe);
    BeatClock clock(129.5f, 350);
    Viewer viewer(timelineSpans(clock), clock, false);
    loop.viewer = &viewer;
    nextFrameCentre();
    auto pixel = [](int x, int y) {
        unsigned char p[4];
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
        return std::vector<int>{p[0], p[1], p[2]};
    };
    auto pressV = [&] {
        stmInjectKey(kKeyV, true);
        loop.frame();
        stmInjectKey(kKeyV, false);
        loop.frame();
    };
    struct Expected {
        const char* label;
        std::vector<int> left, right;
    };
    const std::vector<int> black = {0, 0, 0};
    const Expected expected[] = {
        {"shadow map  2048x2048", kWhite, black},
        {"scene colour  320x180", kRed, kRed},
        {"scene normals  320x180", kGreen, kGreen},
        {"scene depth  320x180", kWhite, black},
        {"occlusion  160x90", kBlue, kBlue},
        {"quarter blur  80x45", {255, 255, 0}, {255, 255, 0}},
        {"half blur  160x90", {0, 255, 255}, {0, 255, 255}},
        {"screen blur  320x180", {102, 102, 102}, {102, 102, 102}},
        {"combined  320x180", {255, 0, 255}, {255, 0, 255}},
        {"1024 target  1024x1024", {255, 153, 0}, {255, 153, 0}},
    };
    for (const Expected& e : expected) {
        pressV();
        EXPECT_EQ(viewer.targetView().label().find(e.label), 0u) << viewer.targetView().label();
        EXPECT_EQ(pixel(kWidth / 4, kHeight / 3), e.left) << e.label;
        EXPECT_EQ(pixel(3 * kWidth / 4, kHeight / 3), e.right) << e.label;
    }
    pressV();
    EXPECT_EQ(viewer.targetView().current(), -1);
    EXPECT_TRUE(viewer.targetView().label().empty());
    EXPECT_EQ(pixel(kWidth / 4, kHeight / 3), kWhite) << "back to the picture";
    loop.viewer = nullptr;
}

TEST(ReloadKind, ShaderTextsAndImagesReloadOtherMembersWait) {
    EXPECT_EQ(reloadKind("ssao.frag.glsl"), ReloadKind::ShaderText);
    EXPECT_EQ(reloadKind("depth_pack.glsl"), ReloadKind::ShaderText);
    EXPECT_EQ(reloadKind("px.PNG"), ReloadKind::Image);
    EXPECT_EQ(reloadKind("vignet.jpg"), ReloadKind::Image);
    EXPECT_EQ(reloadKind("logo.dae"), ReloadKind::Other);
    EXPECT_EQ(reloadKind("song.ogg"), ReloadKind::Other);
}

TEST(ReloadReport, MessagesAgeOutAndAnErrorStaysUntilItsSubjectReloads) {
    ReloadReport report;
    report.add("shader a", "shader a failed: 0:3: syntax error", true);
    report.add("b.png", "b.png reloaded", false);
    report.age(ReloadReport::kShownSeconds - 0.5f);
    report.add("c.png", "c.png not reloaded: bad", true);
    EXPECT_EQ(report.messages().size(), 3u);
    report.age(1.0f);
    ASSERT_EQ(report.messages().size(), 1u);
    EXPECT_EQ(report.openError(), "c.png not reloaded: bad");
    report.add("c.png", "c.png reloaded", false);
    EXPECT_EQ(report.openError(), "shader a failed: 0:3: syntax error") << "the older error is still open";
    report.add("shader a", "shader a rebuilt", false);
    EXPECT_EQ(report.openError(), "");
}

TEST(TargetViewRules, CyclesThroughTheWrittenTargetsInOrderThenBackToThePicture) {
    const std::vector<bool> written = {true, false, false, true, false, false, false, false, false, true};
    EXPECT_EQ(nextViewedTarget(-1, written), 0);
    EXPECT_EQ(nextViewedTarget(0, written), 3);
    EXPECT_EQ(nextViewedTarget(3, written), 9);
    EXPECT_EQ(nextViewedTarget(9, written), -1);
    EXPECT_EQ(nextViewedTarget(-1, std::vector<bool>(10, false)), -1);

    // Packed depth 0.25 + 2/255 / 255 and plain 0.5; cleared texels left out.
    const unsigned char texels[] = {64, 2, 0, 255, 0, 0, 0, 0, 128, 128, 128, 255};
    float nearest = 0, farthest = 0;
    ASSERT_TRUE(depthRange(texels, 3, nearest, farthest));
    EXPECT_NEAR(nearest, (64.0f + 2.0f / 255.0f) / 255.0f, 1e-6f);
    EXPECT_NEAR(farthest, 128.0f / 255.0f * (1.0f + 1.0f / 255.0f + 1.0f / 65025.0f), 1e-6f);
    const unsigned char empty[] = {0, 0, 0, 255};
    EXPECT_FALSE(depthRange(empty, 1, nearest, farthest));
}

} // namespace
