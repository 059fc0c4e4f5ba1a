// Effect: the base every effect of the programme derives from. It owns the
// effect's FixedStepTimer (16 ms steps, at most 5 banked) and implements
// draw(): the song time becomes a position 0..1 within the span and a fade
// factor by the effect's FadeRule, then render(position, fade) runs.
//
//     class Logo : public Effect {
//     public:
//         Logo() : Effect(FadeRules::logo()) {}   // in over 0.1, out from 0.9
//         bool init(unsigned long start_, unsigned long end_) override;
//         void render(float position, float fade) override;
//     };
//
// An init() override stores start and end first (Base::init does) and
// returns true.
#pragma once

#include "engine/stagemill.h"
#include "render/FixedStepTimer.h"

#include <memory>

// How an effect fades with its position: optionally in from 0 over [0, w],
// optionally out to 0 over [s, 1]. Both together multiply.
struct FadeRule {
    static FadeRule none() { return FadeRule(); }
    static FadeRule in(float window) { return FadeRule(true, window, false, 0.0f); }
    static FadeRule out(float from) { return FadeRule(false, 0.0f, true, from); }
    static FadeRule inOut(float window, float from) { return FadeRule(true, window, true, from); }

    // Fade factor at `position`: 1, times position / w inside the fade-in
    // window, times 1 - (position - s) / (1 - s) inside the fade-out window,
    // with 1 - s formed in single precision (0.100000024 for s = 0.9).
    float apply(float position) const;

    bool hasIn = false;
    float inWindow = 0.0f;
    bool hasOut = false;
    float outFrom = 0.0f;

private:
    FadeRule() = default;
    FadeRule(bool hasIn_, float inWindow_, bool hasOut_, float outFrom_)
        : hasIn(hasIn_), inWindow(inWindow_), hasOut(hasOut_), outFrom(outFrom_) {}
};

// The fade rules of the programme's effects, so each class names its own.
namespace FadeRules {
inline FadeRule logo() { return FadeRule::inOut(0.1f, 0.9f); } // Logo, DanceCube, Doors
inline FadeRule plates() { return FadeRule::in(0.1f); }        // Plates, Plates2
inline FadeRule growingMotikka() { return FadeRule::inOut(0.01f, 0.965f); }
inline FadeRule slicedSphere() { return FadeRule::inOut(0.06f, 0.965f); }
// Its fade-out written as 1 - (position - 0.875) * 8 is the general rule:
// dividing by 1 - 0.875 = 0.125 is exact.
inline FadeRule growPrimitives() { return FadeRule::inOut(0.03f, 0.875f); }
// Its fade-out replaces the fade rather than scaling it; with no fade-in the
// fade is 1 before, so the general rule gives the same value.
inline FadeRule particleFlower() { return FadeRule::out(0.975f); }
} // namespace FadeRules

// (time - start) / (end - start): the numerator in floating point from the
// float song time, the denominator the unsigned span. A zero span gives 0.
float effectPosition(float time, unsigned long start, unsigned long end);

// True while frames are replayed without pixels to reach a later frame
// exactly (a shot, a capture from a later time). An effect may then skip
// drawing that leaves no state behind, keeping every call that does (the
// analyser, the beat clock, latches, simulation steps) in the same order.
extern bool g_replayingFrames;

class Effect : public stm::Base {
public:
    explicit Effect(const FadeRule& fade) : timer(new FixedStepTimer(16, 5)), fadeRule(fade) {}
    Effect(const Effect&) = delete;
    Effect& operator=(const Effect&) = delete;

    // Position and fade from `time`, then render().
    void draw() override;

    const std::unique_ptr<FixedStepTimer> timer;
    const FadeRule fadeRule;
};
