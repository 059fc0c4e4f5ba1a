// GrowingMotikka: inside a dark, tinted sky box a cloud of reflective
// geospheres grows outward shell by shell, one shell more each beat, the
// newest popping in with an elastic or bouncing scale. The camera spirals
// out, seven large flares hang in the sky, a thousand soft dust sprites
// drift through the scene, and the frame goes through ambient occlusion and
// depth of field. Its init also creates the resources later effects share
// (SharedResources.h).
#pragma once

#include "effects/Effect.h"

// Beat number of the first frame GrowingMotikka drew; 0 until then.
extern int g_motikkaFirstBeat;
// Camera position of the latest frame: the dust sorts from it.
extern stm::Vector g_eyePosition;

class GrowingMotikka : public Effect {
public:
    GrowingMotikka();
    // Creates the shared resources (geosphere scene, both cube maps, dust).
    bool init(unsigned long start_, unsigned long end_) override;
    void render(float position, float fade) override;
};

// Shells drawn this beat: shells 5 .. count - 1 for count = beat - firstBeat
// + 5, so none in the first beat of the effect.
int motikkaShellCount(int beat, int firstBeat);
// Spheres in shell i: (i / 9) * 2 + 2.
int motikkaShellSpheres(int shell);
// Scale of the spheres of `shell` when `count` shells are drawn, at beat
// phase `phase` (1 on the beat, falling to 0 before the next): 1.5 for every
// shell but the newest, which grows from 0 on the beat to 1.5 as it ends,
// elastic on shells divisible by 4, bouncing on the others.
float motikkaShellScale(int shell, int count, float phase);
// The spheres' "sync" uniform at a position with level L: 0 up to 0.9, then
// (linearStep(position, 0.93, 0.96) * L * 0.1) squared.
float motikkaSync(float position, float level);
