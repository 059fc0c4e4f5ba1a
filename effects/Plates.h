// Plates: a stack of fifteen thick coloured annular sectors turning above a
// spinning floor square, lit by a light circling overhead that casts shadows,
// with a few reflective geospheres drifting through. The picture is cut into
// 32-beat sections: each gets its own camera, its own way of moving, and
// fades in from black and out to black. Ambient occlusion and depth of field
// finish the frame; black blinds open over the start.
//
// Plates2 shares the light, the shadow pass and the fade rule declared here.
#pragma once

#include "effects/Effect.h"
#include "effects/StripMesh.h"

class BeatClock;

// The section clock. Section 0 is the 32-beat section in which Plates drew
// its first frame; it is latched then and never reset, so a seek renumbers
// nothing.
extern float g_platesPhase;      // 0..1 within the current section
extern int g_platesSection;      // current section relative to the first
extern int g_platesSectionBeat;  // first beat of the current section
extern int g_platesFirstSection; // absolute section of the first frame; 0 = not yet seen

class Plates : public Effect {
public:
    Plates();
    void render(float position, float fade) override;
};

// Advances the section clock to the song time: the absolute section is
// beat / 32 + 1; its phase runs from the section's first beat to the first
// beat of the next, or to effectEnd (ms) when that comes first, so the last
// section still reaches 1. Latches g_platesFirstSection on the first call.
// Returns the absolute section number.
int updatePlatesSection(BeatClock& clock, float songTimeMs, unsigned long effectEnd);

// Camera of an absolute section at a position: the section number seeds the
// shared generator, then the per-section shaping of the relative section at
// its phase bends eye and target.
struct PlatesCamera {
    stm::Vector eye;
    stm::Vector target;
};
PlatesCamera platesSectionCamera(int absoluteSection, int relativeSection, float phase, float position);

// The seeded camera both Plates effects start from. The seed is drawn from
// in a fixed order: two angles place the eye `eyeTurn` * u2, u1 at radius 10,
// two more the target at `targetRadius`; an eye lower than `minHeight` is
// lifted to frand() * liftRange + liftBase; then eye and target drift along
// two random directions (the eye's kept upward) by `along` times
// `eyeDrift` and `targetDrift`.
struct SeededCameraShape {
    float eyeTurn, targetRadius;
    float minHeight, liftRange, liftBase;
    float eyeDrift, targetDrift;
};
PlatesCamera seededSectionCamera(unsigned int seed, const SeededCameraShape& shape, float along);

// One plate: an annular sector from angle `start` (radians, about +y,
// direction (sin a, 0, cos a)) over `length`, radii inner..outer, bottom at
// `bottom`, 0.1 thick.
struct PlateShape {
    float inner;
    float outer;
    float bottom;
    float start;
    float length;
    float colour[3];
};
const int kPlateCount = 15;
const float kPlateThickness = 0.1f;
const float kPlateAngleStep = 0.075f;

// The fifteen plates at a position, the top one (n = 14) first, drawn from
// seed 231 so every frame keeps the same plates. level widens two of them;
// in relative section 2 the stack rises over the second half of the phase.
void platesShapes(float position, float level, int relativeSection, float phase, PlateShape out[kPlateCount]);

// A plate's surfaces into `mesh`: bottom, top and inner wall as quad strips
// over the angle offsets 0, 0.075, ... below the length, then one GL_QUADS
// batch with the two end caps (at the start and at the last offset used).
// There is no outer wall.
void buildPlate(const PlateShape& plate, StripMesh& mesh);

// A geosphere flying through the stack: where it is, its turn about x, y and
// z (degrees, applied in that order) and which node of the geosphere scene.
struct GeosphereFlight {
    stm::Vector3 at;
    float angleX;
    float angleY;
    float angleZ;
    int node;
};
const int kMaxGeospheres = 4;
// The geospheres of a relative section: none in section 0, two in section 1,
// four afterwards. Returns how many of `out` it filled.
int flyingGeospheres(int relativeSection, float phase, float position, GeosphereFlight out[kMaxGeospheres]);

// The floor, the geospheres and the plates. shaded false is the shadow pass:
// geometry only, with the caller's shader. level is the frame's spectrum sample.
void drawPlates(float position, bool shaded, float level);

// ---------------------------------------------------------------------------
// Shared with Plates2
// ---------------------------------------------------------------------------

// The light both effects cast shadows from, circling above the origin:
// projection stmSetPerspective(fovDegrees, zNear, zFar) and the modelview
// looking from (5 cos 2b, 30 - 5 position, 5 sin 3b), b = pi * position, at
// the origin. Then samples the spectrum once (the value is returned; the call
// advances the analyser), sets the colour white, captures the light view into
// projection and modelview, and renders the shadow map into tex2048 with
// "plates_depth", drawCasters(position, sample) supplying the geometry.
// Leaves the window framebuffer bound, the resting draw state and the colour
// white.
float renderPlatesShadowMap(float position, float fovDegrees, float zNear, float zFar, stm::Matrix4& projection,
                            stm::Matrix4& modelview, void (*drawCasters)(float position, float sample));
