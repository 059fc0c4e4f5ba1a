// DanceCube: the fourth scene's picture, rendered off screen. Six chamfered
// cubes tumble around the centre, each covered on all six sides by a 4 x 4
// grid of stretched copies of the same model (tiles) that shoot out at the
// start and then pulse with the music and the beat, in front of a background
// over which thirty coloured trails crawl. The finished picture, with
// ambient occlusion, lands in tex1024; Doors (drawn after it in every frame)
// puts it on the screen.
#pragma once

#include "effects/Effect.h"

class Cubemap;
class Scene;
namespace Collada {
struct Document;
}

// One crawling line of the 2-D overlay, in screen units (0..1 is the screen).
struct Trail {
    static const int kLength = 70;

    stm::Vector head;
    float heading = 0.0f;         // direction of travel, radians
    stm::Vector history[kLength]; // ring of the last head positions
    int count = 0;                // steps since the last respawn; newest at history[count % kLength]
    int turnTimer = 0;            // counts down each step; the trail turns while it is negative
};

const int kTrailCount = 30;

extern Trail* g_trails[kTrailCount];
extern int g_trailStep;
extern Collada::Document* g_danceDocument;
extern Scene* g_danceScene;
extern Cubemap* g_danceCubemap;
extern int g_danceFirstSection; // 8-beat section of the first frame; 0 = not yet set
extern int g_danceSection;      // current section minus the first

class DanceCube : public Effect {
public:
    DanceCube();
    // Loads "chamfercube.dae", makes the trails and the static cube map.
    bool init(unsigned long start_, unsigned long end_) override;
    void render(float position, float fade) override;
};

// Makes the thirty trails (replacing any earlier ones), drawing from crt::rand
// and the shared generator in a fixed interleaved order.
void initTrails();
// One fixed step of every trail: reseeds both generators from g_trailStep,
// speed from the spectrum analyser.
void stepTrails();
// One step of trail `index` at speed factor `speed` (1 = silence), drawing
// from both generators as they stand: moves the head, turns while the turn
// timer is negative (even trails one way, odd ones the other), and respawns
// inside the screen once the head leaves -2..2 in x or y.
void stepTrail(Trail& trail, int index, float speed);

// One vertex pair of a trail's quad strip: the point and its two edge
// vertices, with the alpha byte they are drawn with.
struct TrailRib {
    stm::Vector left, right;
    unsigned char alpha;
};
// The ribs of trail `index` from newest to oldest; none when it has fewer
// than two points. Each rib lies across the segment towards the next older
// point, so the strip never reaches back to the head.
int buildTrailRibs(const Trail& trail, int index, float fade, TrailRib* out);
// Alpha byte of rib j of n: 0 at both ends of the trail, largest in its middle.
unsigned char trailAlpha(int j, int n, float fade);
// Draws every trail as a blended quad strip in screen units. Leaves blending
// on and the engine's 3D projection loaded.
void drawTrails(float fade);

// The 8-beat section of beat `beat` as DanceCube counts it.
int danceSectionOfBeat(int beat);
// Latches g_danceFirstSection on the first call and sets g_danceSection.
void updateDanceSection(int section);
// The camera for a frame: reseeds the shared generator with `section` and
// places the eye around the centre at a distance set by position; in the
// second section (relative section 1) it is 24 % closer. Eye height equals
// its z.
stm::Vector3 danceEye(int section, int relativeSection, float position);

// Where tile (row, column) of a side sits at side-delayed position q with a
// pulse: translation in the side's frame and its depth scale (the other two
// scales are 0.475).
struct TileTransform {
    float x, y, z, depthScale;
};
TileTransform danceTile(int row, int column, float q, float pulse);
