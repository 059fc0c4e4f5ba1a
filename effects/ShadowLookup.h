// Shadow-map lookup through the texture matrix. A colour pass that reads a
// shadow map rendered from a captured light view (LightView.h) loads
//   translate(0.5) * scale(0.5) * lightProjection * lightModelview * inverse(modelview)
// into the texture matrix of unit 0, with the modelview current at that moment.
// A vertex shader then gets the biased light-clip coordinate of any vertex
// drawn later, with further modelview transforms on top, as
//   gl_TextureMatrix[0] * gl_ModelViewMatrix * gl_Vertex
// (divide by w; xy index the map, z is the window depth seen from the light).
#pragma once

#include "engine/stagemill.h"

class Shader;

// The matrix itself, for a given camera modelview.
stm::Matrix4 shadowLookupMatrix(const stm::Matrix4& lightProjection, const stm::Matrix4& lightModelview,
                                const stm::Matrix4& cameraModelview);

// Loads the lookup for the current GL_MODELVIEW_MATRIX into the texture matrix
// of unit 0. Leaves unit 0 active and the matrix mode GL_MODELVIEW.
void loadShadowLookup(const stm::Matrix4& lightProjection, const stm::Matrix4& lightModelview);
// The same from g_lightProjection and g_lightModelview.
void loadShadowLookup();

// Binds the shadow map (g_renderTargets.tex2048) on texture unit `unit` with
// 2D texturing enabled there and points `shader`'s "shadowMap" at it (a null
// shader, one that did not build, only gets the binding). Leaves `unit`
// active.
void bindShadowMap(Shader* shader, int unit);

// Resets the texture matrix of unit 0 to identity. Leaves unit 0 active and
// the matrix mode GL_MODELVIEW.
void resetShadowLookup();
