// Plates2: sixty-five walkers wander over stacked horizontal layers, each
// leaving a coloured ribbon 0.2 thick behind it. Most curve left and right in
// alternating bouts, every tenth goes straight, every eighth ribbon swells
// with the music. The ribbons are shadowed from the light Plates uses, drawn
// over a grey background with a vignette, and finished with blur and depth
// of field; the camera jumps to a new place every 16 beats.
#pragma once

#include "effects/Effect.h"
#include "effects/Plates.h"
#include "effects/StripMesh.h"

const int kWalkerCount = 65;
const int kTrailLength = 150; // ring-buffer entries per walker

// One walker and the ring buffers of its trail. The newest entry is at
// steps % kTrailLength; left and right edges are stored as each step is taken.
struct Walker {
    stm::Vector position; // y is the walker's layer
    float heading;        // radians; travel direction (sin, 0, cos)
    stm::Vector trail[kTrailLength];
    stm::Vector leftEdge[kTrailLength];
    stm::Vector rightEdge[kTrailLength];
    int steps; // since the last (re)spawn
    int turn;  // sign: turning direction; magnitude: length of the bout so far
    int moved; // 1 once it has taken a step
};

extern Walker g_walkers[kWalkerCount];
// Steps of all walkers together, counted over the whole run; each step of
// the walkers seeds both generators with it.
extern int g_walkerStep;

class Plates2 : public Effect {
public:
    Plates2();
    // Creates the walkers.
    bool init(unsigned long start_, unsigned long end_) override;
    void render(float position, float fade) override;
};

// Places the walkers on their layers (y = i * 8.5 / 65), directions from the
// second generator crt::rand(), positions from the shared frand() in
// whatever state each is.
void createWalkers();

// One 16 ms step of every walker: turning bouts, straight every tenth,
// speed rising over the first eighth and surging at the end, and a respawn
// at a random place and layer on leaving the 40 x 40 square.
void stepWalkers(float position);

// Ribbon width factor by layer height: 2.25 at y = 0, 0.5625 at y = 8.5.
float trailWidth(float y);

// The ribbon of walker `index` into `mesh`: its top face, the end caps at the
// oldest drawn entry and at the head, and both side walls, 0.2 deep. At most
// the newest 149 entries; nothing before the walker's second step. Every
// eighth walker's edges are recomputed here at 0.9 * pulse * trailWidth
// instead of the stored ones.
void buildWalkerTrail(const Walker& walker, int index, float pulse, StripMesh& mesh);

// The pulse of every eighth ribbon at a spectrum level: 1 at level 0.
float trailPulse(float level);

// All ribbons (walker 64 down to 0), each drawing the spectrum level once.
// shaded false is the shadow pass, drawn with the caller's shader.
void drawWalkerTrails(bool shaded);

// The camera section of a beat: a new one every 16 beats, changing 7.2 beats
// before each multiple of 16.
int plates2CameraSection(int beat);
// The camera of a section at a position: seeded with the section, the eye
// 10 from the centre and at least 8.5 high, both drifting along the effect.
PlatesCamera plates2Camera(int section, float position);
