// SlicedSphere: a sphere built of slices (the nodes of "sliced_sphere.dae")
// pulses apart and together, each slice tinted between pink and its own
// colour and lifted by a step of its number, shadow-mapped from a fixed
// overhead light and mirroring the environment cube. Around it: the tinted
// dark sky with its flares, a slowly panning translucent picture, a thousand
// dust sprites, ambient occlusion and depth of field; black blinds close
// over the last 4 % of the span.
#pragma once

#include "effects/Effect.h"

class Cubemap;
class Scene;
namespace Collada {
struct Document;
}

extern Collada::Document* g_slicedSphereDocument;
extern Scene* g_slicedSphereScene;
extern Cubemap* g_sliceCubemap;
// The point the dust sorts from: the light's eye.
extern stm::Vector g_sliceSortOrigin;

class SlicedSphere : public Effect {
public:
    SlicedSphere();
    // Loads "sliced_sphere.dae", builds its scene and the environment cube.
    bool init(unsigned long start_, unsigned long end_) override;
    void render(float position, float fade) override;
};

// The node numbers drawn as slices for a scene of nodeCount nodes: first ..
// end - 1 with first = 4 and end = nodeCount - 1 (the four helper nodes and
// the root are not slices); first >= end when there is none.
struct SliceRange {
    unsigned first, end;
};
SliceRange sliceRange(unsigned nodeCount);

// The slices of g_slicedSphereScene at a position, pulsing with
// k = sin(20 position) + 1. shaded false is the shadow pass: white geometry
// drawn with the caller's shader and state. shaded true binds "slicesphere"
// with the shadow lookup on unit 0 (tex2048) and g_sliceCubemap on unit 1,
// depth-tested, and leaves the resting draw state with the depth test on and
// the texture matrix of unit 0 at identity.
void drawSlices(float position, bool shaded);

// The 24 closing blinds at 64 degrees: invisible before position 0.96, a
// black screen at 1. Expects blending, depth test and texturing off.
void drawSlicedSphereBlinds(float position);
