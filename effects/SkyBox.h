// The tinted sky box with its seven large additive flares, shared by
// GrowingMotikka and SlicedSphere.
#pragma once

#include "engine/stagemill.h"

class Cubemap;

// Turns blending, the depth test and depth writes off and GL_TEXTURE_2D on
// (the sky lies behind everything), binds "background" ("texture" = 0) and, translated to `eye`, draws `sky`
// as a box of half-size 30 in the colour (r, g, b), then, additive
// (GL_ONE, GL_ONE) with alpha writes masked, seven "flare_blur.jpg"
// billboards of brightness flareBrightness at seeded directions (seed 344,
// so the flares hang still in the sky). Leaves the resting draw state, all
// colour writes on and the modelview as it found it.
void drawSkyBox(Cubemap* sky, const stm::Vector& eye, float r, float g, float b, float flareBrightness);
