// Easing curves and small math helpers shared by the effects. x, lo, hi are
// floats; a curve maps x between lo and hi onto its shape. Where a curve is
// "not scaled", it returns lo plus a 0..1 shape value, not lo..hi.
#pragma once

#include "engine/stagemill.h"

float clampf(float x, float lo, float hi);
float absf(float x);

// 0 at or below lo, 1 at or above hi, linear between.
float linearStep(float x, float lo, float hi);
// 0 below lo, 1 at or above hi, Hermite f*f*(3 - 2f) between.
float smoothStep(float x, float lo, float hi);
// 0 at or below lo, 1 at or above hi, 1 - cos(quarter turn) between; results
// below 0.001 snap to 0.
float easeInSine(float x, float lo, float hi);
// lo + (hi - lo) * bounce(u), u = (x - lo) / (hi - lo), not clamped.
float bounceStep(float x, float lo, float hi);
// Overshooting ease-in on clampf(x, lo, hi); not scaled.
float easeInBack(float x, float lo, float hi);
// Elastic ease-out ending at lo + 1; not scaled. amplitude below 1 means 1;
// period 0 means 0.3 of the span.
float easeOutElastic(float x, float lo, float hi, float amplitude, float period);

// a + (b - a) * t.
stm::Vector3 lerpVector3(float t, const stm::Vector3& a, const stm::Vector3& b);

// The camera's right, up and back axes in world space, read from the current
// GL_MODELVIEW_MATRIX (for camera-facing quads). Needs a current GL context.
void getViewAxes(stm::Vector3& right, stm::Vector3& up, stm::Vector3& back);
