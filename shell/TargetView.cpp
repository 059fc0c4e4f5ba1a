// The render-target view: which targets a frame wrote, the cycling order,
// and drawing one target full screen with its label.
#include "shell/TargetView.h"

#include "render/ShaderManager.h"
#include "shell/OverlayDrawing.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>

const ViewedTarget kViewedTargets[] = {
    {"shadow map", &RenderTargets::tex2048, true, "light depth, packed"},
    {"scene colour", &RenderTargets::texScreenColor, false, "colour"},
    {"scene normals", &RenderTargets::texScreenNormal, false, "eye-space normal as colour"},
    {"scene depth", &RenderTargets::texScreenDepth, true, "eye distance"},
    {"occlusion", &RenderTargets::texHalfSSAO, false, "occlusion factor, white = open"},
    {"quarter blur", &RenderTargets::texQuarterA, false, "blurred occlusion"},
    {"half blur", &RenderTargets::texHalfA, false, "blurred picture for depth of field"},
    {"screen blur", &RenderTargets::texScreenBlurA, false, "blurred picture at full size"},
    {"combined", &RenderTargets::texScreenCombined, false, "colour darkened by occlusion"},
    {"1024 target", &RenderTargets::tex1024, false, "picture drawn for a later pass"},
};
const int kViewedTargetCount = int(sizeof kViewedTargets / sizeof kViewedTargets[0]);

namespace {

std::string formatName(GLint format) {
    switch (format) {
    case 0x8058: return "RGBA8";
    case 0x8051: return "RGB8";
    case GL_RGBA: return "RGBA";
    case GL_RGB: return "RGB";
    case 4: return "RGBA8";
    default: {
        char text[16];
        std::snprintf(text, sizeof text, "0x%04X", unsigned(format));
        return text;
    }
    }
}

} // namespace

int nextViewedTarget(int current, const std::vector<bool>& written) {
    for (int i = std::max(current + 1, 0); i < int(written.size()); ++i)
        if (written[size_t(i)]) return i;
    return -1;
}

bool depthRange(const unsigned char* rgba, std::size_t texels, float& nearest, float& farthest) {
    bool any = false;
    for (std::size_t i = 0; i < texels; ++i) {
        const unsigned char* t = rgba + i * 4;
        const float d = (float(t[0]) + float(t[1]) / 255.0f + float(t[2]) / 65025.0f) / 255.0f;
        if (d <= 0.0f) continue;
        nearest = any ? std::min(nearest, d) : d;
        farthest = any ? std::max(farthest, d) : d;
        any = true;
    }
    return any;
}

void TargetView::afterFrame() {
    const std::vector<GLuint> taken = g_renderTargets.takeWritten();
    for (int i = 0; i < kViewedTargetCount; ++i)
        written_[size_t(i)] =
            std::find(taken.begin(), taken.end(), g_renderTargets.*kViewedTargets[i].texture) != taken.end();
}

void TargetView::press() { current_ = nextViewedTarget(current_, written_); }

void TargetView::draw() {
    label_.clear();
    if (current_ < 0) return;
    const ViewedTarget& target = kViewedTargets[current_];
    const GLuint texture = g_renderTargets.*target.texture;
    g_renderTargets.resolveForSampling(texture);
    OverlayDrawing drawing;
    if (glActiveTextureARB) glActiveTextureARB(GL_TEXTURE0_ARB);
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint w = 0, h = 0, format = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    float nearest = 0.0f, farthest = 1.0f;
    bool drawn = true;
    if (target.depth && w > 0 && h > 0) {
        std::vector<unsigned char> texels(size_t(w) * size_t(h) * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        drawn = depthRange(texels.data(), size_t(w) * size_t(h), nearest, farthest);
    }

    Shader* shader = ShaderManager::require("targetview", "the render-target view shows raw colours");
    if (shader) {
        shader->bind();
        shader->setUniform1i("tex", 0);
        shader->setUniform1f("depthLook", target.depth ? 1.0f : 0.0f);
        shader->setUniform1f("nearDepth", nearest);
        shader->setUniform1f("farDepth", farthest);
    }
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    // y runs down the screen: the texture's top row (t = 1) at y = 0.
    glBegin(GL_QUADS);
    glMultiTexCoord2fARB(GL_TEXTURE0_ARB, 0.0f, 1.0f);
    glVertex2f(0.0f, 0.0f);
    glMultiTexCoord2fARB(GL_TEXTURE0_ARB, 1.0f, 1.0f);
    glVertex2f(drawing.width, 0.0f);
    glMultiTexCoord2fARB(GL_TEXTURE0_ARB, 1.0f, 0.0f);
    glVertex2f(drawing.width, drawing.height);
    glMultiTexCoord2fARB(GL_TEXTURE0_ARB, 0.0f, 0.0f);
    glVertex2f(0.0f, drawing.height);
    glEnd();
    if (shader) Shader::unbind();
    glDisable(GL_TEXTURE_2D);

    char text[256];
    std::snprintf(text, sizeof text, "%s  %dx%d %s  %s", target.name, w, h, formatName(format).c_str(), target.holds);
    label_ = text;
    if (target.depth) {
        std::snprintf(text, sizeof text, drawn ? "  (white %.4f .. black %.4f)" : "  (nothing drawn)", double(nearest),
                      double(farthest));
        label_ += text;
    }
    if (!written_[size_t(current_)]) label_ += "  (not drawn into by this frame)";
    label_ += "   V: next";
    const float scale = drawing.scale, margin = 6.0f * scale;
    glEnable(GL_BLEND);
    glColor4f(0.0f, 0.0f, 0.0f, 0.7f);
    overlayRect(0.0f, 0.0f, std::min(drawing.width, overlayTextWidth(label_) * scale + 2.0f * margin), 12.0f * scale);
    overlayText(margin, 2.0f * scale, scale, label_, 255, 255, 255);
}
