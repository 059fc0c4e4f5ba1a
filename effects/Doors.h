// Doors: puts DanceCube's picture (tex1024) on the screen. During its first
// 8-beat section the picture is shown as it is; from the next section on it
// lies on the five or six leaves of a revolving door whose turning changes
// with every section (section mod 4), every third leaf folding ten times
// over the effect. Runs after DanceCube in every frame (a higher layer).
#pragma once

#include "effects/Effect.h"

extern int g_doorsFirstSection; // 8-beat section of the first frame; 0 = not yet set

class Doors : public Effect {
public:
    Doors();
    void render(float position, float fade) override;
};

// The section of beat `beat` as Doors counts it, and its leaf pattern 0..3.
int doorsSectionOfBeat(int beat);
int doorsPattern(int section);
// Leaves of the door in a pattern: 5, 5, 5 and 6 for patterns 0..3.
int doorLeafCount(int pattern);
