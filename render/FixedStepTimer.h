// FixedStepTimer: banks elapsed song time in whole steps so an effect's
// simulation advances at a fixed rate (16 ms steps: 62.5 per second) whatever
// the frame rate. Each effect owns one. Pattern in render():
//     timer->update();
//     while (timer->hasStep()) { simulate(); timer->consumeStep(); }
#pragma once

#include "engine/stagemill.h"

class FixedStepTimer {
public:
    FixedStepTimer() = default;
    FixedStepTimer(int step_, int maxSteps_) { setup(step_, maxSteps_); }

    void setup(int step_, int maxSteps_) {
        step = step_;
        maxSteps = maxSteps_;
        delta = 0;
        lastTime = 0;
        accumulator = 0;
        updates = 0;
    }

    // Reads the song clock.
    void update() { update(static_cast<int>(stmGetTime())); }

    // `now` in whole ms. Seeking backwards counts as elapsed time too (the
    // delta is made non-negative); the bank never holds more than maxSteps.
    void update(int now) {
        delta = now >= lastTime ? now - lastTime : lastTime - now;
        lastTime = now;
        accumulator += delta;
        updates += 1;
        if (accumulator > step * maxSteps) accumulator = step * maxSteps;
    }

    // Strictly more than one step banked: a remainder of exactly one step waits.
    bool hasStep() const { return accumulator > step; }
    void consumeStep() { accumulator -= step; }

    int delta = 0;
    int lastTime = 0;
    int accumulator = 0;
    int step = 0;
    int maxSteps = 0;
    int updates = 0;
};
