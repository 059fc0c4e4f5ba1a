// Logo: the opening scene. The pieces of "logo.dae" hang scattered in the air
// and fly in to assemble over the first three quarters of the span, the ones
// near the centre first; the logo stands on a mirroring floor in front of a
// glowing splat and sixty drifting flares, casts shadows from a fixed light,
// and the picture goes through depth of field over a background image.
// Sixteen tilted blinds open with the fade-in and close with the fade-out.
#pragma once

#include "core/Array.h"
#include "effects/Effect.h"
#include "effects/Flares.h"

class Cubemap;
class Scene;
namespace Collada {
struct Document;
}

extern Collada::Document* g_logoDocument;
extern Scene* g_logoScene;
extern Cubemap* g_logoCubemap;

class Logo : public Effect {
public:
    Logo();
    // Loads "logo.dae", builds its scene and the cube map of the six faces.
    bool init(unsigned long start_, unsigned long end_) override;
    void render(float position, float fade) override;
};

// The logo's colour, glColor3ub(109, 167, 20).
void setLogoColor();

// How far a piece whose local translation has x = pieceX is still off its
// place at a position: 0 in place, 1 fully scattered.
float logoPieceScatter(float position, float pieceX);

// The flares of the splat at a position: reseeds the shared generator with
// 3265 and fills `out` with the flares that have a size (none before 0.05).
void buildLogoFlares(float position, ZEPHRAN_STAGEMILL::Array<FlareQuad>& out);

// Splat, flares and pieces. shaded false is a shadow-map pass: only the
// pieces' geometry, drawn with the caller's shader. pass 0 and 1 are the
// direct and mirrored shadow passes, 2 and 3 the mirrored and direct colour
// passes; pass 2 also lays the floor. Leaves the modelview translated by
// (0, 0.5, 0) and, when shaded, the texture matrix of unit 0 at identity.
void drawLogoScene(float position, bool shaded, int pass);

// The sixteen blinds at a fade: fully closed at 0, gone at 1.
void drawLogoBlinds(float fade);
