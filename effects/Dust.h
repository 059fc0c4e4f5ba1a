// The dust: the shared records of SharedResources.h drawn as one batch of
// soft camera-facing sprites, sorted back to front so their alpha blending
// layers correctly. Each effect that draws dust first writes every record's
// position from its own seed, then calls drawDust with the point its sort
// measures from (its camera, or a fixed light point) and its size rule.
#pragma once

#include "effects/SharedResources.h"

// The dust order: -1 when b is nearer `origin` than a (a comes first), 1 when
// b is farther, 0 when both are equally far (squared distances).
int compareDust(const DustParticle& a, const DustParticle& b, const stm::Vector& origin);

// Sorts `count` records into the dust order: the farthest from origin first.
void sortDust(DustParticle* dust, int count, const stm::Vector& origin);

// Half-size of the n-th sprite in sorted order: ((n & 1) + 1) * sizeStep + 0.1.
float dustHalfSize(int n, float sizeStep);

// Sorts g_dust from origin and draws it: "background_flare" with "texture" = 0,
// "circle_alpha.png", white, depth test on, depth writes off, blending
// (GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA); one GL_QUADS batch, each sprite
// facing the camera of the current modelview. Leaves the resting draw
// state with the depth test on.
void drawDust(const stm::Vector& origin, float sizeStep);
