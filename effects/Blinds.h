// Black blinds over the finished frame: 2 * halfCount parallel bands across
// the unit screen, turned by an angle about its centre. Band i (i = -halfCount
// .. halfCount - 1) runs from i / halfCount to (i + cover) / halfCount, with
// its own cover at the right end (x = 1) and at the left end (x = -1), so a
// cover of 1 closes the band and 0 opens it completely.
#pragma once

// One GL_QUADS batch in black in the unit Space2D, with the resting
// DrawState and depth writes off. Leaves the resting state (depth writes on)
// and the colour black.
//   Logo:         drawBlinds(34, 8, 1 - fade, 1 - fade)
//   Plates:       drawBlinds(200 * position - 60, 4, k, k * k * k), k = 1 - fade
//   SlicedSphere: drawBlinds(64, 12, u, u)
void drawBlinds(float angleDegrees, int halfCount, float rightCover, float leftCover);
