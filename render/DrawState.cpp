// Applying a stated draw state.
#include "render/DrawState.h"

#include "render/GLExtensions.h"
#include "render/ShaderManager.h"

namespace {

void enable(GLenum capability, bool on) {
    if (on)
        glEnable(capability);
    else
        glDisable(capability);
}

void setTexturing(int unit, Texturing texturing) {
    glActiveTextureARB(GL_TEXTURE0_ARB + unit);
    enable(GL_TEXTURE_2D, texturing == Texturing::Texture2D);
    enable(GL_TEXTURE_CUBE_MAP, texturing == Texturing::CubeMap);
}

} // namespace

void DrawState::apply() const {
    enable(GL_BLEND, blending != Blend::Off);
    switch (blending) {
    case Blend::Off: break;
    case Blend::Alpha: glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA); break;
    case Blend::Add: glBlendFunc(GL_ONE, GL_ONE); break;
    case Blend::AddAlpha: glBlendFunc(GL_SRC_ALPHA, GL_ONE); break;
    case Blend::Screen: glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_COLOR); break;
    }
    enable(GL_DEPTH_TEST, depthTest);
    glDepthMask(depthWrites ? GL_TRUE : GL_FALSE);
    enable(GL_CULL_FACE, cullBackFaces);
    if (cullBackFaces) glCullFace(GL_BACK);
    setTexturing(1, unit1);
    setTexturing(0, unit0);
    if (program)
        program->bind();
    else
        Shader::unbind();
}
