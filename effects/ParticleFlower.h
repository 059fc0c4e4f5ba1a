// ParticleFlower: five bundles of seventeen thin violet tubes grow ring by
// ring out of five points along curved random paths and wilt back at
// staggered times while the camera flies forward past them, rolling. Behind
// them a background with a vignette, forty faint ray strips and five hundred
// small reflective geospheres; a thousand dust sprites in front; blur and
// depth of field over the frame. The fade darkens only the background.
#pragma once

#include "effects/Effect.h"
#include "engine/stagemill.h"

class TubeMesh;

constexpr int kFlowerCount = 5;
constexpr int kFlowerTubes = 17;
constexpr int kFlowerTubeSegments = 9;
constexpr int kFlowerTubeRings = 450;

struct Flower {
    TubeMesh* tubes[kFlowerTubes] = {};
    float timeOffset = 0.0f; // the flower starts growing this much of the span later
    stm::Vector3 origin;     // where its tubes start
};

extern Flower g_flowers[kFlowerCount];

// How the tubes reach GL: from static vertex buffers (the default), or, for
// comparing pictures and frame times, in immediate mode as one
// glBegin(GL_TRIANGLES) batch. ParticleFlower::init sets Immediate when the
// environment variable ZEPHRAN_TUBES is "immediate".
enum class TubeDrawMode { Buffers, Immediate };
extern TubeDrawMode g_tubeDrawMode;

// Flower f's origin. Flower 4 starts at the engine Vector's default value,
// which in this engine is (0, 0, 0).
stm::Vector flowerOrigin(int flower);

// Builds flower `flower`'s seventeen tubes (tube i with radius 0.1, or 0.175
// for odd i) along splines drawn from the shared random generator, and its
// time offset and origin. init seeds 2323 and builds flowers 0 .. 4 in order.
void buildFlower(Flower& out, int flower);

// What of a tube is drawn at a position: rings [first, last) counted from
// the base, drawn as its first (last - first) * 2 * segments triangles, so
// the tip ring falls back as first rises. Nothing when first >= last.
struct TubeRange {
    int first, last;
    int triangles(int segments) const { return first < last ? (last - first) * 2 * segments : 0; }
};
// 1 until flower f wilts, falling to 0 over [0.2 f + 0.35, 0.2 f + 0.7].
float flowerWilt(float position, int flower);
// Tube `tube` of flower `flower`: it grows with the position (later for
// later flowers, each tube running a little ahead or behind), shrinks as the
// flower wilts and is cut back from the tip over the last 2 % of the span.
TubeRange flowerTubeRange(float position, int flower, int tube, int rings);

// The background picture darkened by fade, the vignette deepening with the
// music's level, and the ray strips. Keeps the caller's modelview (the
// camera); leaves the resting draw state.
void drawFlowerBackground(float position, float fade, float level);

class ParticleFlower : public Effect {
public:
    ParticleFlower();
    // Builds the five flowers and their vertex buffers (needs the GL context).
    bool init(unsigned long start_, unsigned long end_) override;
    void render(float position, float fade) override;
};
