// The light view of the latest shadow pass. An effect that renders a shadow
// map captures the light's projection and modelview here right after setting
// them up, and its colour pass builds the shadow lookup from them
// (ShadowLookup.h). Logo, Plates and SlicedSphere share the one pair below;
// an effect that needs its own keeps its own pair and passes it explicitly.
#pragma once

#include "engine/stagemill.h"

extern stm::Matrix4 g_lightProjection;
extern stm::Matrix4 g_lightModelview;

// Reads GL_PROJECTION_MATRIX and GL_MODELVIEW_MATRIX into the two matrices.
void captureLightView(stm::Matrix4& projection, stm::Matrix4& modelview);
// The same into g_lightProjection and g_lightModelview.
void captureLightView();
