// The shared pseudo-random generator of the effects and the random vectors
// drawn from it. One process-wide state; effects reseed it from fixed numbers
// or beat sections before use, so a given song time always draws the same
// picture. The vector helpers draw their components in the order z, y, x.
#pragma once

#include "engine/stagemill.h"

// State when the program starts.
const unsigned int kRandomInitialState = 0x058DEAC0u;

// Next value in [0, 1]; the largest states round to exactly 1.
float frand();
void seedRandom(unsigned int seed);
// The current state: seedRandom(randomState()) later puts the generator back.
unsigned int randomState();
// 0 if x <= 0, else x * frand() (no value is drawn for x <= 0).
float frandRange(float x);

// (r sin(theta) cos(phi), r sin(theta) sin(phi), r cos(theta)); angles in radians.
stm::Vector sphericalToCartesian(float r, float theta, float phi);

// Components frand() - 0.5.
stm::Vector randomVector();
// Components (frand() - 0.5) times sx, sy, sz.
stm::Vector randomVectorScaled(float sx, float sy, float sz);
// Components frand().
stm::Vector randomVector01();
// A point on the unit sphere (not uniformly spread: denser at the poles).
stm::Vector randomUnitVector();
// (cos a, 0, sin a) for a random angle a.
stm::Vector randomCircleVector();
