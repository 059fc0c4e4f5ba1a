// The start-up's warm-up: before the song starts, each span's first frame is
// drawn once into a 1x1 scissor box, so that the driver has compiled every
// program and state variant before the frame that shows it. What the frames
// change outside the GL is put back afterwards (EffectStateSnapshot), and the
// box keeps every pixel but one of each target, which every effect clears
// and redraws before reading, so the frames of the run stay the same.
#pragma once

#include "shell/Timeline.h"

#include <vector>

// Draws the frame at each distinct span start of `spans`, the effects being
// `effects` (all of them, for the snapshot); returns the frames drawn.
int warmUpEffects(const std::vector<TimelineSpan>& spans, const std::vector<Effect*>& effects);
