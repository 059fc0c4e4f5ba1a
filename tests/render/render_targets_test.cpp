// Render targets on a real (headless) driver: the start-up log, the noise
// texture and the generator position, multisampled against plain scene
// passes, and the resolve rules of unbind().
#include "tests/render/GLTestSupport.h"

#include "core/CrtRandom.h"
#include "render/RenderTargets.h"
#include "render/ShaderManager.h"

namespace {

bool logHas(const char* text) { return rtest::startupLog().find(text) != std::string::npos; }

TEST(RenderTargets, StartupLogsDriverMultisampleAndEveryShader) {
    const std::string& log = rtest::startupLog();
    EXPECT_TRUE(logHas("Your graphics cards vendor is ")) << log;
    EXPECT_TRUE(logHas("Renderer "));
    EXPECT_TRUE(logHas("Version "));
    EXPECT_TRUE(logHas("Debug: Using depth t="));
    EXPECT_TRUE(logHas("Multisample FBO samples: "));
    EXPECT_TRUE(g_multisampleAvailable);
    EXPECT_GE(g_renderTargets.samples, 1);
    EXPECT_LE(g_renderTargets.samples, 4);
    EXPECT_FALSE(logHas("Framebuffer incomplete"));
    EXPECT_FALSE(logHas("UNRESOLVED FRAMEBUFFER ERROR"));
    EXPECT_FALSE(logHas("ERROR"));
    for (const char* name :
         {"mixaa", "lightray",  "color",          "sindistort",    "chrome",        "meta",   "blurx",
          "blury", "blur2x",    "blur2y",         "blur2xNoBleed", "blur2yNoBleed", "darken", "glowc",
          "edge",  "shadowmap", "projectTexture", "ssao",          "combine",       "dof"}) {
        EXPECT_TRUE(logHas(("Shader \"" + std::string(name) + "\" loaded.").c_str())) << name;
        Shader* shader = g_shaderManager->getShader(name);
        ASSERT_NE(shader, nullptr) << name;
        GLint compiledV = 0, compiledF = 0, linked = 0;
        glGetObjectParameterivARB(shader->vertexShader, GL_OBJECT_COMPILE_STATUS_ARB, &compiledV);
        glGetObjectParameterivARB(shader->fragmentShader, GL_OBJECT_COMPILE_STATUS_ARB, &compiledF);
        glGetObjectParameterivARB(shader->program, GL_OBJECT_LINK_STATUS_ARB, &linked);
        EXPECT_TRUE(compiledV && compiledF && linked) << name;
    }
}

TEST(RenderTargets, NoiseIsTheFirstRandValuesAndTheGeneratorMovesOn) {
    int w = 0, h = 0;
    std::vector<uint8_t> rgba = rtest::readTexture(g_renderTargets.texNoise, w, h);
    ASSERT_EQ(w, 128);
    ASSERT_EQ(h, 128);
    uint32_t saved = crt::g_randState;
    crt::srand(1);
    for (int i = 0; i < 128 * 128; ++i)
        for (int c = 0; c < 3; ++c) ASSERT_EQ(rgba[i * 4 + c], crt::rand() % 255) << "byte " << i * 3 + c;
    for (int i = 0; i < 65536; ++i) crt::rand();
    EXPECT_EQ(saved, crt::g_randState);
}

// A test scene pass with distinct values per attachment and edges on pixel
// boundaries, so multisampling must not change a single pixel.
void drawMRTRects() {
    static Shader* mrt = nullptr;
    if (!mrt) {
        mrt = new Shader();
        mrt->init("mrt-test",
                  "void main(){gl_FragData[0]=gl_Color;gl_FragData[1]=gl_Color.gbra;gl_FragData[2]=gl_Color.brga;}",
                  "void main(){gl_FrontColor=gl_Color;gl_Position=ftransform();}");
    }
    glClearColor(0.1f, 0.2f, 0.3f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    stmPerspective2D(static_cast<float>(rtest::kWidth), static_cast<float>(rtest::kHeight));
    glLoadIdentity();
    mrt->bind();
    const int rects[3][4] = {{10, 10, 100, 60}, {50, 30, 200, 170}, {250, 0, 320, 90}};
    const float colours[3][3] = {{1.0f, 0.5f, 0.0f}, {0.0f, 0.8f, 0.4f}, {0.9f, 0.1f, 0.7f}};
    for (int i = 0; i < 3; ++i) {
        glColor3fv(colours[i]);
        glRecti(rects[i][0], rects[i][1], rects[i][2], rects[i][3]);
    }
    Shader::unbind();
    stmPerspective3D();
}

TEST(RenderTargets, MultisampledAndPlainScenePassesResolveToTheSamePicture) {
    RenderTargets& rt = g_renderTargets;
    const GLuint targets[3] = {rt.texScreenColor, rt.texScreenNormal, rt.texScreenDepth};
    std::vector<uint8_t> plain[3], multisampled[3];
    int w = 0, h = 0;

    rt.bindScreenFBOMRT(true);
    EXPECT_FALSE(g_sceneResolvePending);
    drawMRTRects();
    rt.unbind();
    for (int k = 0; k < 3; ++k) plain[k] = rtest::readTexture(targets[k], w, h);

    rt.beginSceneMRT();
    EXPECT_TRUE(g_sceneResolvePending);
    drawMRTRects();
    rt.endSceneMRT();
    EXPECT_FALSE(g_sceneResolvePending);
    for (int k = 0; k < 3; ++k) multisampled[k] = rtest::readTexture(targets[k], w, h);

    for (int k = 0; k < 3; ++k) EXPECT_TRUE(plain[k] == multisampled[k]) << "attachment " << k;
    rtest::Rgba inside = rtest::pixelAt(plain[1], w, 20, 20); // colour (1, 0.5, 0) swizzled gbra
    EXPECT_NEAR(inside.r, 128, 1);
    EXPECT_EQ(inside.g, 0);
    EXPECT_EQ(inside.b, 255);
}

void clearBound(float r, float g, float b) {
    glClearColor(r, g, b, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

rtest::Rgba centre(GLuint texture) {
    int w = 0, h = 0;
    std::vector<uint8_t> rgba = rtest::readTexture(texture, w, h);
    return rtest::pixelAt(rgba, w, w / 2, h / 2);
}

TEST(RenderTargets, WithBothResolvesPendingTheSceneResolvesFirst) {
    RenderTargets& rt = g_renderTargets;
    rt.bindTextureFBO1024(rt.tex1024, true);
    clearBound(0.0f, 0.0f, 1.0f);
    rt.unbind();

    rt.bindTextureFBO1024(rt.tex1024, false);
    EXPECT_TRUE(g_resolve1024Pending);
    clearBound(1.0f, 0.0f, 0.0f);
    rt.bindScreenFBOMRT(false);
    clearBound(0.0f, 1.0f, 0.0f);

    rt.unbind();
    EXPECT_EQ(centre(rt.texScreenColor).g, 255);
    EXPECT_EQ(centre(rt.tex1024).b, 255) << "the 1024 pass must wait for the next unbind";
    EXPECT_TRUE(g_resolve1024Pending);

    rt.unbind();
    EXPECT_EQ(centre(rt.tex1024).r, 255);
    EXPECT_FALSE(g_resolve1024Pending);
}

TEST(RenderTargets, ScreenBindAbandonsPendingResolves) {
    RenderTargets& rt = g_renderTargets;
    rt.bindScreenFBOMRT(true);
    clearBound(0.0f, 0.0f, 1.0f);
    rt.unbind();

    rt.bindScreenFBOMRT(false);
    clearBound(1.0f, 0.0f, 0.0f);
    rt.bindTextureFBO1024(rt.tex1024, false);
    rt.bindScreenFBOScreenNormal(rt.texScreenCombined);
    EXPECT_FALSE(g_sceneResolvePending);
    EXPECT_FALSE(g_resolve1024Pending);
    rt.unbind();
    EXPECT_EQ(centre(rt.texScreenColor).b, 255) << "an abandoned multisampled pass is never resolved";
}

// The multisampled scene is resolved per attachment when sampled, under
// whatever target is bound then; an attachment nothing sampled before the
// next scene pass is never resolved.
TEST(RenderTargets, SceneAttachmentsResolveWhenSampledAndOnlyThen) {
    RenderTargets& rt = g_renderTargets;
    rt.bindScreenFBOMRT(true);
    clearBound(0.0f, 0.0f, 1.0f);
    rt.unbind();
    EXPECT_EQ(rt.sceneUnresolved, 0u);

    rt.bindScreenFBOMRT(false);
    clearBound(0.0f, 1.0f, 0.0f);
    rt.unbind();
    EXPECT_EQ(rt.sceneUnresolved, 7u);
    rt.bindScreenFBOHalf(rt.texHalfA);
    rt.resolveForSampling(rt.texScreenColor);
    rt.resolveForSampling(rt.texHalfA);
    GLint bound = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &bound);
    EXPECT_EQ(GLuint(bound), rt.fboHalf) << "the resolve must give the bound target back";
    rt.unbind();
    EXPECT_EQ(rt.sceneUnresolved, 6u);

    rt.beginSceneMRT();
    EXPECT_EQ(rt.sceneUnresolved, 0u);
    rt.endSceneMRT();
    rt.beginSceneMRT();
    rt.endSceneMRT();
    rt.sceneUnresolved = 0; // read the textures as they are, unresolved
    EXPECT_EQ(centre(rt.texScreenColor).g, 255);
    EXPECT_EQ(centre(rt.texScreenNormal).b, 255) << "an attachment nobody sampled was resolved";
}

// A scene pass that leaves an output out clears, draws, resolves and lists
// only the others; the next full pass has every draw buffer back.
TEST(RenderTargets, AScenePassWithoutNormalsLeavesTheirTextureAsItWas) {
    RenderTargets& rt = g_renderTargets;
    rt.bindScreenFBOMRT(true);
    clearBound(0.0f, 0.0f, 1.0f);
    rt.unbind();
    rt.takeWritten();

    rt.beginSceneMRT(kSceneColor | kSceneDepth);
    GLint normalBuffer = -1;
    glGetIntegerv(GL_DRAW_BUFFER1, &normalBuffer);
    EXPECT_EQ(normalBuffer, GL_NONE);
    drawMRTRects();
    rt.endSceneMRT();
    EXPECT_EQ(rt.sceneUnresolved, unsigned(kSceneColor | kSceneDepth));
    EXPECT_EQ(rt.takeWritten(), (std::vector<GLuint>{rt.texScreenColor, rt.texScreenDepth}));
    for (GLuint texture : {rt.texScreenColor, rt.texScreenNormal, rt.texScreenDepth}) rt.resolveForSampling(texture);
    EXPECT_EQ(rt.sceneUnresolved, 0u);
    EXPECT_EQ(centre(rt.texScreenNormal).b, 255) << "the left-out normals were drawn over";
    EXPECT_EQ(centre(rt.texScreenColor).g, 204) << "the drawn colour is missing"; // the second rect, 0.8 green
    EXPECT_EQ(centre(rt.texScreenDepth).r, 102);                                  // its colour swizzled brga

    rt.beginSceneMRT();
    glGetIntegerv(GL_DRAW_BUFFER1, &normalBuffer);
    EXPECT_EQ(normalBuffer, GL_COLOR_ATTACHMENT1_EXT);
    rt.endSceneMRT();
    rt.takeWritten();
}

TEST(RenderTargets, BindsSetTheViewportOfTheirTarget) {
    RenderTargets& rt = g_renderTargets;
    GLint viewport[4];
    rt.bindScreenFBOQuarter(rt.texQuarterA);
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], rtest::kWidth / 4);
    EXPECT_EQ(viewport[3], rtest::kHeight / 4);
    rt.bindTextureFBO2048(rt.tex2048);
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 2048);
    rt.unbind();
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], rtest::kWidth);
    GLint bound = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &bound);
    EXPECT_EQ(bound, 0);
}

} // namespace
