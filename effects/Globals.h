// The effect toolkit's process-wide instances, created by the program at
// start-up before any effect is registered (null until then).
#pragma once

class SpectrumAnalyser;
class BeatClock;

extern SpectrumAnalyser* g_spectrum; // 8 history slots
extern BeatClock* g_beatClock;       // 129.5 BPM, offset 350
