// Storage and capture of the shared light view.
#include "effects/LightView.h"

#include "render/GLExtensions.h"

stm::Matrix4 g_lightProjection;
stm::Matrix4 g_lightModelview;

void captureLightView(stm::Matrix4& projection, stm::Matrix4& modelview) {
    glGetFloatv(GL_PROJECTION_MATRIX, projection.m);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview.m);
}

void captureLightView() { captureLightView(g_lightProjection, g_lightModelview); }
