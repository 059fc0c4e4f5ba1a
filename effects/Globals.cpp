// Definitions of the effect toolkit's process-wide instances.
#include "effects/Globals.h"

SpectrumAnalyser* g_spectrum = nullptr;
BeatClock* g_beatClock = nullptr;
