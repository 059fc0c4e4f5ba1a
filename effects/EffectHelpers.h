// Everything an effect source needs from the framework in one include: the
// base class and fade rules, the beat clock and spectrum analyser with their
// global instances, both random generators, easing and vector helpers, and
// the fixed-step timer.
#pragma once

#include "core/CrtRandom.h"
#include "effects/BeatClock.h"
#include "effects/Easing.h"
#include "effects/Effect.h"
#include "effects/Globals.h"
#include "effects/Random.h"
#include "effects/AudioAnalyser.h"
#include "render/FixedStepTimer.h"
