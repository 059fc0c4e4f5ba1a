// Scoped GL state on a headless driver: every 2-D helper and pass leaves
// both matrices and both stack depths as it found them, the 2-D spaces are
// the ones they name, and the --gl-check reading finds (and clears) each
// kind of fault it promises to.
#include "tests/render/GLTestSupport.h"

#include <GL/glu.h>

#include <array>
#include <functional>

#include "render/DrawState.h"
#include "render/GLCheck.h"
#include "render/PostProcess.h"
#include "render/RenderTargets.h"
#include "render/ShaderManager.h"
#include "render/Space2D.h"

namespace {

using Matrix = std::array<float, 16>;

Matrix current(GLenum which) {
    Matrix m;
    glGetFloatv(which, m.data());
    return m;
}

GLint depth(GLenum which) {
    GLint d = 0;
    glGetIntegerv(which, &d);
    return d;
}

// A camera and projection no helper would make by itself.
void setCamera() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(47.0, 1.3, 0.7, 90.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(3.0, 4.0, 5.0, 0.0, 0.5, 0.0, 0.1, 1.0, 0.0);
    glRotatef(17.0f, 0.3f, 0.2f, 0.9f);
}

TEST(Space2D, EveryHelperLeavesBothMatricesAndStackDepthsAsFound) {
    RenderTargets& rt = g_renderTargets;
    const std::pair<const char*, std::function<void()>> helpers[] = {
        {"drawScreenQuad", [] { drawScreenQuad(true, false); }},
        {"drawScreenQuadCropped", [] { drawScreenQuadCropped(false, true, 0.1f, 0.1f, 0.0f, 0.0f); }},
        {"drawColorOverlay", [] { drawColorOverlay(0.0f, 0.0f, 0.0f, 0.5f); }},
        {"applySSAO", [] { applySSAO(0.03f, 0.01f, 1.0f, 25.0f); }},
        {"applyCombine", [&rt] { applyCombine(rt.texQuarterA); }},
        {"blurQuarter", [&rt] { blurQuarter(rt.texScreenColor, 1, 0.01f, 0.01f, false); }},
        {"blurHalf", [&rt] { blurHalf(rt.texScreenColor, 1, 0.01f, 0.01f, false); }},
        {"blurScreen", [&rt] { blurScreen(rt.texScreenColor, 1, 0.01f, 0.01f, true); }},
        {"applyDepthOfField",
         [&rt] { applyDepthOfField(rt.texScreenColor, rt.texScreenDepth, rt.texHalfA, 0.1f, 0.2f, 0.3f); }},
    };
    for (const auto& helper : helpers) {
        setCamera();
        const Matrix projection = current(GL_PROJECTION_MATRIX), modelview = current(GL_MODELVIEW_MATRIX);
        helper.second();
        EXPECT_EQ(current(GL_PROJECTION_MATRIX), projection) << helper.first;
        EXPECT_EQ(current(GL_MODELVIEW_MATRIX), modelview) << helper.first;
        EXPECT_EQ(depth(GL_PROJECTION_STACK_DEPTH), 1) << helper.first;
        EXPECT_EQ(depth(GL_MODELVIEW_STACK_DEPTH), 1) << helper.first;
        GLint mode = 0;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        EXPECT_EQ(mode, GL_MODELVIEW) << helper.first;
    }
    g_renderTargets.unbind();
}

TEST(Space2D, SpacesMapTheirCornersToTheScreenCornersWithAnIdentityModelview) {
    setCamera();
    const GLint viewport[4] = {0, 0, 100, 50};
    // Window coordinates of (x, y) under the current matrices.
    auto window = [&](double x, double y, double& wx, double& wy) {
        GLdouble mv[16], pr[16], wz;
        glGetDoublev(GL_MODELVIEW_MATRIX, mv);
        glGetDoublev(GL_PROJECTION_MATRIX, pr);
        gluProject(x, y, 0.0, mv, pr, viewport, &wx, &wy, &wz);
    };
    double wx = 0, wy = 0;
    {
        const Space2D space = Space2D::unit();
        window(1.0, 1.0, wx, wy);
        EXPECT_NEAR(wx, 100.0, 1e-3);
        EXPECT_NEAR(wy, 50.0, 1e-3);
        EXPECT_EQ(depth(GL_PROJECTION_STACK_DEPTH), 2);
        EXPECT_EQ(depth(GL_MODELVIEW_STACK_DEPTH), 2);
    }
    {
        const Space2D space(4.0f, 2.0f);
        window(4.0, 0.0, wx, wy);
        EXPECT_NEAR(wx, 100.0, 1e-3);
        EXPECT_NEAR(wy, 0.0, 1e-3);
    }
    {
        // y down: the top left corner is (0, 0).
        const Space2D space = Space2D::topDown(200.0f, 100.0f);
        window(0.0, 0.0, wx, wy);
        EXPECT_NEAR(wx, 0.0, 1e-3);
        EXPECT_NEAR(wy, 50.0, 1e-3);
    }
    EXPECT_EQ(depth(GL_PROJECTION_STACK_DEPTH), 1);
    EXPECT_EQ(depth(GL_MODELVIEW_STACK_DEPTH), 1);
}

bool enabledOn(int unit, GLenum capability) {
    glActiveTextureARB(GL_TEXTURE0_ARB + unit);
    const bool on = glIsEnabled(capability);
    glActiveTextureARB(GL_TEXTURE0_ARB);
    return on;
}

TEST(DrawState, ApplySetsEveryPartWhateverWasLeftBefore) {
    Shader* shader = ShaderManager::require("blurx", "the test cannot bind a program");
    ASSERT_NE(shader, nullptr);
    const DrawState lit = DrawState()
                              .blend(Blend::Screen)
                              .depth(true, false)
                              .cull()
                              .texture(Texturing::CubeMap, Texturing::Texture2D)
                              .use(shader);
    lit.apply();
    GLint src = 0, dst = 0, program = 0, unit = 0, cullFace = 0;
    GLboolean writes = GL_TRUE;
    glGetIntegerv(GL_BLEND_SRC, &src);
    glGetIntegerv(GL_BLEND_DST, &dst);
    glGetBooleanv(GL_DEPTH_WRITEMASK, &writes);
    glGetIntegerv(GL_CULL_FACE_MODE, &cullFace);
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &unit);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(src, GL_ONE);
    EXPECT_EQ(dst, GL_ONE_MINUS_SRC_COLOR);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(writes);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_EQ(cullFace, GL_BACK);
    EXPECT_TRUE(enabledOn(0, GL_TEXTURE_CUBE_MAP));
    EXPECT_FALSE(enabledOn(0, GL_TEXTURE_2D));
    EXPECT_TRUE(enabledOn(1, GL_TEXTURE_2D));
    EXPECT_FALSE(enabledOn(1, GL_TEXTURE_CUBE_MAP));
    EXPECT_NE(program, 0);
    EXPECT_EQ(unit, GL_TEXTURE0_ARB);

    // The resting state undoes all of it.
    DrawState().apply();
    glGetBooleanv(GL_DEPTH_WRITEMASK, &writes);
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(writes);
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    for (int u = 0; u < 2; ++u) {
        EXPECT_FALSE(enabledOn(u, GL_TEXTURE_2D)) << u;
        EXPECT_FALSE(enabledOn(u, GL_TEXTURE_CUBE_MAP)) << u;
    }
    EXPECT_EQ(program, 0);
}

TEST(GLCheck, FindsEachFaultOfTheRestingStateAndRestoresIt) {
    glGetError();
    setCamera();
    ASSERT_TRUE(glStateFaults(false).empty());

    Shader* shader = ShaderManager::require("blurx", "the test cannot bind a program");
    ASSERT_NE(shader, nullptr);
    glPushMatrix();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glMatrixMode(GL_MODELVIEW);
    shader->bind();
    g_renderTargets.bindScreenFBOHalf(g_renderTargets.texHalfB);
    glActiveTextureARB(GL_TEXTURE2_ARB);
    glEnable(0x1234); // not a capability: GL_INVALID_ENUM

    const std::vector<std::string> faults = glStateFaults(true);
    const char* const expected[] = {
        "GL_INVALID_ENUM", "modelview stack depth 2", "projection stack depth 2", "still bound",
        "framebuffer",     "texture unit 2"};
    ASSERT_EQ(faults.size(), std::size(expected));
    for (size_t i = 0; i < faults.size(); ++i) EXPECT_NE(faults[i].find(expected[i]), std::string::npos) << faults[i];
    EXPECT_TRUE(glStateFaults(false).empty()) << "restored to the resting state";
    stmResetViewport();
}

TEST(GLCheck, LogsAndCountsEachFaultOncePerPlace) {
    GLFaultLog log;
    EXPECT_TRUE(log.report("collada", 10.0f, "program 3 still bound"));
    EXPECT_FALSE(log.report("collada", 50.0f, "program 3 still bound"));
    EXPECT_TRUE(log.report("plates2", 90.0f, "program 3 still bound"));
    EXPECT_TRUE(log.report("collada", 95.0f, "texture unit 1 active, not 0"));
    EXPECT_EQ(log.faults(), 3u);
}

} // namespace
