// Builds and loads the shadow-lookup texture matrix.
#include "effects/ShadowLookup.h"

#include "effects/LightView.h"
#include "render/GLExtensions.h"
#include "render/RenderTargets.h"
#include "render/ShaderManager.h"

using namespace ZEPHRAN_STAGEMILL;

Matrix4 shadowLookupMatrix(const Matrix4& lightProjection, const Matrix4& lightModelview,
                           const Matrix4& cameraModelview) {
    Matrix4 bias;
    bias.makeScaleXYZ(0.5f, 0.5f, 0.5f);
    bias.m[12] = bias.m[13] = bias.m[14] = 0.5f; // translate(0.5) * scale(0.5)
    // The full inverse: the camera's translation must be undone too, which an
    // inverse of the upper 3x3 alone (Matrix4::inverseTranspose) would drop.
    return bias * lightProjection * lightModelview * cameraModelview.inverse();
}

void bindShadowMap(Shader* shader, int unit) {
    glActiveTextureARB(GL_TEXTURE0_ARB + unit);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, g_renderTargets.tex2048);
    if (shader) shader->setUniform1i("shadowMap", unit);
}

void loadShadowLookup(const Matrix4& lightProjection, const Matrix4& lightModelview) {
    Matrix4 modelview;
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview.m);
    Matrix4 lookup = shadowLookupMatrix(lightProjection, lightModelview, modelview);
    glActiveTextureARB(GL_TEXTURE0_ARB);
    glMatrixMode(GL_TEXTURE);
    glLoadMatrixf(lookup.m);
    glMatrixMode(GL_MODELVIEW);
}

void loadShadowLookup() { loadShadowLookup(g_lightProjection, g_lightModelview); }

void resetShadowLookup() {
    glActiveTextureARB(GL_TEXTURE0_ARB);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
}
