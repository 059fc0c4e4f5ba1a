// GrowPrimitives: the closing scene. Three chains of small glossy solids from
// "primitives.dae" grow upward along random curves, each object popping in
// with an overshooting scale and settling onto its curve as the growth front
// passes; flat coloured discs and five-armed arrow stars flash open around
// the chains while the camera climbs with them, rolling. A background picture
// carries a drift of faint additive flares; the scene goes through occlusion
// and depth of field, fades out over the last eighth, and the end credits
// wipe across the picture over the black.
#pragma once

#include "core/Array.h"
#include "effects/Effect.h"
#include "effects/Flares.h"
#include "effects/Spline.h"

class Cubemap;
class Scene;
namespace Collada {
struct Document;
}

extern Collada::Document* g_primitivesDocument;
extern Scene* g_primitivesScene;
extern Spline g_primitiveSplines[3];
extern Cubemap* g_primitivesCubemap;

class GrowPrimitives : public Effect {
public:
    GrowPrimitives();
    // Loads "primitives.dae" and its scene, the three growth paths and the
    // cube map of the six bright faces.
    bool init(unsigned long start_, unsigned long end_) override;
    void render(float position, float fade) override;
};

// 0 when lo > x, 1 when x > hi, else (x - lo) / (hi - lo): the ends compare
// strictly, so x = lo gives 0 and x = hi gives 1 by the formula. An empty
// window (x = lo = hi) counts as passed and gives 1.
float linearStepStrict(float x, float lo, float hi);

// A disc's opening: 0 before lo and 1 after hi; inside, 0.2 rising to 1 along
// sin(h * m * l * f + 1.57 * l) with h the position in the window, l the
// position in its first d-th, and m a wobble of e full turns over the window.
float wobbleStep(float x, float lo, float hi, float d, float e, float f);

// The growth paths: chain k (0..2) seeds the shared generator with 343 + k and
// runs through twenty points at heights 250 * i around a random base.
void buildPrimitiveSplines(Spline splines[3]);

// Growth front of chain k at a position, in steps of 1/600 of the curve:
// grow runs a little ahead of the position (by 0.05 |sin(0.75 k + 9.2 p)^4|);
// from is where the chain's tail is cut, 0.15 of the span behind.
struct ChainGrowth {
    float grow;
    float from; // clampf(position - 0.15, 0, 1) * 600
};
ChainGrowth chainGrowth(float position, int chain);

// Inclusive range of step numbers; empty when first > last.
struct StepRange {
    int first, last;
    bool empty() const { return first > last; }
};
// Objects drawn for a chain: from floor(grow * 600 - 1) down while the step
// still lies above from.
StepRange objectSteps(const ChainGrowth& g);
// Steps that may carry a disc (every fourth of them) or a star (every
// thirty-second): from floor(from) while below grow * 600.
StepRange accentSteps(const ChainGrowth& g);

// Uniform scale of an object u of the way through its pop-in (u in 0..1):
// 1.5 K sin(1.9707962572574615 u), K = 1 / sin(1.9707962); it rises past
// 1.6 and settles at 1.5.
float popScale(float u);

// The five-colour palette of discs and stars, (n / 15) mod 5 for step n >= 0.
void setPrimitivePaletteColor(int step);

// A flat disc of radius r in the horizontal plane around (x, y, z): one
// triangle fan with normal (0, 1, 0).
void drawDisc(float x, float y, float z, float r);
// Disc of step n opening over [lo, hi] of x with wobbleStep; radius
// 6.5 * w^2, palette colour of n.
void drawGrowDisc(const stm::Vector& centre, float x, float lo, float hi, int n);

// One arrow of an arrow star at x: it is drawn only once `a` > 0; its tip
// flies in from radius 1000 and stops at 1.45 * size, its tail from 1000 to
// 0.3 * size a little later; head is the arrowhead's length.
struct StarArrow {
    float a;
    float outer, inner, head;
};
StarArrow starArrow(float x, float lo, float hi, float size, int arrow);
// Five arrows pointing outward in the horizontal plane at the centre's
// height, turning slowly with the song time, palette colour of n.
void drawArrowStar(const stm::Vector& centre, float x, float lo, float hi, float size, int n);

// The seventy drifting background flares at a position: reseeds the shared
// generator with 31; none before 0.05, where they start growing.
void buildPrimitiveFlares(float position, ZEPHRAN_STAGEMILL::Array<FlareQuad>& out);

// Texture window of the credits picture at a position: drawn once the wipe
// has begun (from 0.925 + 0.01 * 0.02), its right edge opening to 1 as
// c = linearStep(position, 0.925, 1) goes to 0.175, its left edge following
// from c = 0.93 to 1.
struct CreditsWipe {
    bool drawn;
    float left, right;
};
CreditsWipe creditsWipe(float position);
