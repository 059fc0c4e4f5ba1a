// Full-screen post-processing passes and screen-quad helpers.
#include "render/PostProcess.h"

#include "render/DrawState.h"
#include "render/PassProfiler.h"
#include "render/RenderTargets.h"
#include "render/ShaderManager.h"
#include "render/Space2D.h"

namespace {

// The registry's shader of that name. A pass whose archive shader is missing
// logs it once and draws nothing, rather than failing every frame.
Shader* passShader(const char* name) { return ShaderManager::require(name, "the pass draws nothing"); }

// The pixel-space full-screen quad; unit 0 coordinates through the
// multitexture entry point when multitexture is set.
void fullScreenQuad(bool multitexture) {
    const int w = stmGetWindowWidth(), h = stmGetWindowHeight();
    const int corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    glBegin(GL_QUADS);
    for (const auto& c : corners) {
        if (multitexture)
            glMultiTexCoord2fARB(GL_TEXTURE0_ARB, static_cast<float>(c[0]), static_cast<float>(c[1]));
        else
            glTexCoord2i(c[0], c[1]);
        glVertex2i(c[0] * w, c[1] * h);
    }
    glEnd();
}

// Draws `texture` over the bound target, then ends the off-screen pass.
void copy(GLuint texture) {
    g_renderTargets.resolveForSampling(texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    fullScreenQuad(false);
    g_renderTargets.unbind();
}

void bindSampler(Shader* shader, int unit, const char* sampler, GLuint texture) {
    g_renderTargets.resolveForSampling(texture);
    glActiveTextureARB(GL_TEXTURE0_ARB + unit);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    shader->setUniform1i(sampler, unit);
}

void disableUnit(int unit) {
    glActiveTextureARB(GL_TEXTURE0_ARB + unit);
    glDisable(GL_TEXTURE_2D);
}

// The unit-space quad at (0,0)-(1,1) with the texture window s0..s1, t0..t1
// at vertices (0,0), (1,0), (1,1), (0,1).
void unitQuad(float s0, float s1, float t0, float t1) {
    glBegin(GL_QUADS);
    glTexCoord2f(s0, t0);
    glVertex2f(0.0f, 0.0f);
    glTexCoord2f(s1, t0);
    glVertex2f(1.0f, 0.0f);
    glTexCoord2f(s1, t1);
    glVertex2f(1.0f, 1.0f);
    glTexCoord2f(s0, t1);
    glVertex2f(0.0f, 1.0f);
    glEnd();
}

using BindTarget = void (RenderTargets::*)(GLuint);

// The separable blur shared by the three sizes: `passes` rounds of a
// horizontal pass A -> B and a vertical pass B -> A; the result is in A.
void separableBlur(GLuint source, GLuint a, GLuint b, BindTarget bindTarget, int passes, float xoff, float yoff,
                   bool plain, bool fromHalfDownsample) {
    Shader* horizontal = passShader(plain ? "blurx" : "blur2x");
    Shader* vertical = passShader(plain ? "blury" : "blur2y");
    if (!horizontal || !vertical) return;
    RenderTargets& rt = g_renderTargets;

    const Space2D space = Space2D::pixels();
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glDepthMask(GL_FALSE);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);

    if (fromHalfDownsample) {
        rt.bindScreenFBOHalf(rt.texHalfA);
        copy(source);
        source = rt.texHalfA;
    }
    (rt.*bindTarget)(a);
    copy(source);

    for (int i = 0; i < passes; ++i) {
        horizontal->bind();
        horizontal->setUniform1i("tex", 0);
        horizontal->setUniform1f("xoff", xoff);
        horizontal->setUniform1f("alpha", 1.0f);
        (rt.*bindTarget)(b);
        copy(a);
        Shader::unbind();

        vertical->bind();
        vertical->setUniform1i("tex", 0);
        vertical->setUniform1f("yoff", yoff);
        vertical->setUniform1f("alpha", 1.0f);
        (rt.*bindTarget)(a);
        copy(b);
        Shader::unbind();
    }

    glDepthMask(GL_TRUE);
}

} // namespace

void applySSAO(float radius, float falloff, float strength, float offset) {
    PassScope scope(Pass::Post);
    Shader* ssao = passShader("ssao");
    if (!ssao) return;
    RenderTargets& rt = g_renderTargets;

    const Space2D space = Space2D::pixels();
    rt.bindScreenFBOHalf(rt.texHalfSSAO);
    glDepthMask(GL_FALSE);
    glDisable(GL_DEPTH_TEST);

    ssao->bind();
    ssao->setUniform1f("strength", strength);
    ssao->setUniform1f("offset", offset);
    ssao->setUniform1f("falloff", falloff);
    ssao->setUniform1f("radius", radius);
    bindSampler(ssao, 0, "TNormal", rt.texScreenNormal);
    bindSampler(ssao, 1, "TRandom", rt.texNoise);
    bindSampler(ssao, 2, "TDepth", rt.texScreenDepth);

    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    fullScreenQuad(true);

    glDisable(GL_BLEND);
    disableUnit(2);
    disableUnit(1);
    disableUnit(0);
    glDepthMask(GL_TRUE);
    Shader::unbind();
    rt.unbind();
}

void applyCombine(GLuint aoTexture) {
    PassScope scope(Pass::Post);
    Shader* combine = passShader("combine");
    if (!combine) return;

    const Space2D space = Space2D::pixels();
    combine->bind();
    glDepthMask(GL_FALSE);
    glDisable(GL_DEPTH_TEST);
    RenderTargets& rt = g_renderTargets;
    bindSampler(combine, 0, "TColor", rt.texScreenColor);
    bindSampler(combine, 1, "TAo", aoTexture);
    // The occlusion is upsampled along the scene's depth edges.
    bindSampler(combine, 2, "TDepth", rt.texScreenDepth);
    combine->setUniform2f("aoSize", static_cast<float>(rt.width / 4), static_cast<float>(rt.height / 4));

    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    fullScreenQuad(true);

    disableUnit(2);
    disableUnit(1);
    disableUnit(0);
    Shader::unbind();
    glDepthMask(GL_TRUE);
}

void blurQuarter(GLuint source, int passes, float xoff, float yoff, bool plain) {
    PassScope scope(Pass::Post);
    separableBlur(source, g_renderTargets.texQuarterA, g_renderTargets.texQuarterB,
                  &RenderTargets::bindScreenFBOQuarter, passes, xoff, yoff, plain, true);
}

void blurHalf(GLuint source, int passes, float xoff, float yoff, bool plain) {
    PassScope scope(Pass::Post);
    separableBlur(source, g_renderTargets.texHalfA, g_renderTargets.texHalfB, &RenderTargets::bindScreenFBOHalf, passes,
                  xoff, yoff, plain, false);
}

void blurScreen(GLuint source, int passes, float xoff, float yoff, bool plain) {
    PassScope scope(Pass::Post);
    separableBlur(source, g_renderTargets.texScreenBlurA, g_renderTargets.texScreenBlurB,
                  &RenderTargets::bindScreenFBOScreenNormal, passes, xoff, yoff, plain, false);
}

void applyDepthOfField(GLuint color, GLuint depth, GLuint blurred, float nearValue, float focus, float farValue) {
    PassScope scope(Pass::Post);
    Shader* dof = passShader("dof");
    if (!dof) return;

    const Space2D space = Space2D::pixels();
    glDepthMask(GL_FALSE);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    dof->bind();
    dof->setUniform1f("near", nearValue);
    dof->setUniform1f("focus", focus);
    dof->setUniform1f("far", farValue);
    bindSampler(dof, 0, "TColor", color);
    bindSampler(dof, 1, "TBlur", blurred);
    bindSampler(dof, 2, "TDepth", depth);

    fullScreenQuad(true);

    Shader::unbind();
    disableUnit(2);
    disableUnit(1);
    glActiveTextureARB(GL_TEXTURE0_ARB);
    glDepthMask(GL_TRUE);
}

void drawColorOverlay(float r, float g, float b, float a) {
    const Space2D space = Space2D::unit();
    DrawState().blend(Blend::Alpha).apply();
    glColor4f(r, g, b, a);
    drawUnitQuad();
    DrawState().apply();
}

void drawUnitQuad() {
    glBegin(GL_QUADS);
    glVertex2f(0.0f, 0.0f);
    glVertex2f(1.0f, 0.0f);
    glVertex2f(1.0f, 1.0f);
    glVertex2f(0.0f, 1.0f);
    glEnd();
}

void drawScreenQuad(bool flipX, bool flipY) {
    glDisable(GL_DEPTH_TEST);
    const Space2D space = Space2D::unit();
    const float s0 = flipX ? 1.0f : 0.0f, s1 = 1.0f - s0;
    const float t0 = flipY ? 0.0f : 1.0f, t1 = 1.0f - t0;
    unitQuad(s0, s1, t0, t1);
}

void drawScreenQuadCropped(bool flipX, bool flipY, float cropX, float cropY, float offsetX, float offsetY) {
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    const Space2D space = Space2D::unit();
    const float sLow = cropX, sHigh = 1.0f - cropX;
    const float tLow = cropY, tHigh = 1.0f - cropY;
    unitQuad(offsetX + (flipX ? sHigh : sLow), offsetX + (flipX ? sLow : sHigh), offsetY + (flipY ? tHigh : tLow),
             offsetY + (flipY ? tLow : tHigh));
}

void drawBillboard(const stm::Vector& center, float size) {
    // The camera's right and up axes in the current modelview space.
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    const stm::Vector right = stm::Vector(m[0], m[4], m[8]) * size;
    const stm::Vector up = stm::Vector(m[1], m[5], m[9]) * size;
    const stm::Vector corners[4] = {center - right - up, center + right - up, center + right + up, center - right + up};
    const float coords[4][2] = {{0.0f, 1.0f}, {1.0f, 1.0f}, {1.0f, 0.0f}, {0.0f, 0.0f}};
    glBegin(GL_QUADS);
    for (int i = 0; i < 4; ++i) {
        const float v[3] = {corners[i].x, corners[i].y, corners[i].z};
        glTexCoord2f(coords[i][0], coords[i][1]);
        glVertex3fv(v);
    }
    glEnd();
}
