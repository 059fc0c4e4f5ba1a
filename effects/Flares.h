// Flare batches: textured sprite quads placed in the plane of the current
// modelview, each turned about its own centre. An effect fills a batch from
// its seeded generator (so the same time gives the same flares) and draws it
// with the texture, shader and blending it has bound.
#pragma once

#include "core/Array.h"

struct FlareQuad {
    float x, y;     // centre, translated to before the turn
    float angle;    // degrees about z
    float halfSize; // half the edge length; quads of size 0 are never added
    float z;        // depth of the quad in the turned frame
};

// One quad with texture corners (0,0), (1,0), (1,1), (0,1) at
// (-hw, -hh, z), (hw, -hh, z), (hw, hh, z), (-hw, hh, z).
void drawSpriteQuad(float halfWidth, float halfHeight, float z);

// For each flare: push, translate (x, y, 0), rotate angle about z, sprite quad
// of halfSize at z, pop.
void drawFlareQuads(const ZEPHRAN_STAGEMILL::Array<FlareQuad>& flares);
