// Beat clock at the programme's tempo: beat times, the timeline's rounding,
// the phase and the beat-hit flag.
#include "effects/BeatClock.h"

#include <gtest/gtest.h>

TEST(BeatClock, GridAtTheProgrammeTempo) {
    BeatClock clock(129.5f, 350);
    EXPECT_EQ(clock.beatPeriod(), 463320);
    EXPECT_EQ(clock.beatLength(), 463);
    EXPECT_EQ(clock.beatTime(0), 0); // -350 us truncates towards zero
    EXPECT_EQ(clock.beatTime(1), 462);
    EXPECT_EQ(clock.beatTime(32), 14825); // (32 * 463320 - 350) / 1000
    EXPECT_EQ(clock.beatTime(-1), -463);
}

TEST(BeatClock, TimelineBoundariesFallOnWholeBeats) {
    BeatClock clock(129.5f, 350);
    const unsigned int raw[] = {17000, 58000, 89400, 119200, 163950, 178600, 193500};
    const unsigned int quantised[] = {16668, 57875, 89359, 118991, 163902, 178255, 193071};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(clock.quantiseToBeat(raw[i]), quantised[i]) << raw[i];
    EXPECT_EQ(clock.quantiseToBeat(463), 463u);
    EXPECT_EQ(clock.quantiseToBeat(462), 0u);
}

TEST(BeatClock, PhaseAndBeatHit) {
    BeatClock clock(129.5f, 350);
    // 100 ms: t = 100350 us, into beat 0.
    EXPECT_FLOAT_EQ(clock.beatPhase(100.0f), (463320.0f - 100350.0f) / 463320.0f);
    EXPECT_FALSE(clock.beatHit);
    EXPECT_EQ(clock.lastRemainder, 100350);
    // 470.9 ms truncates to 470: t = 470350, 7030 us into beat 1: a new beat.
    const float phase = clock.beatPhase(470.9f);
    EXPECT_FLOAT_EQ(phase, (463320.0f - 7030.0f) / 463320.0f);
    EXPECT_TRUE(clock.beatHit);
    EXPECT_EQ(clock.beatNumber, 1);
    // Same millisecond again: same value, no second hit.
    EXPECT_EQ(clock.beatPhase(470.2f), phase);
    EXPECT_FALSE(clock.beatHit);
    EXPECT_EQ(clock.beatNumber, 1);
    // 14826 ms: 110 us into beat 32, reached by a jump.
    clock.beatPhase(14826.0f);
    EXPECT_TRUE(clock.beatHit);
    EXPECT_EQ(clock.beatNumber, 32);
}

TEST(BeatClock, UpdateBeatNumberKeepsTheFraction) {
    BeatClock clock(129.5f, 350);
    // 462.97 ms + 350 us = 463320 us: beat 1 only when the fraction counts.
    EXPECT_EQ(clock.updateBeatNumber(462.97f), 1);
    EXPECT_EQ(clock.beatNumber, 1);
    EXPECT_EQ(clock.updateBeatNumber(462.9f), 0);
    EXPECT_EQ(clock.updateBeatNumber(16668.0f), 35);
}
