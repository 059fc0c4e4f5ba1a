// Fixed-step timer: banking, the cap, the strict step test and seeks.
#include "render/FixedStepTimer.h"

#include <gtest/gtest.h>

namespace {
int drain(FixedStepTimer& t) {
    int steps = 0;
    while (t.hasStep()) {
        t.consumeStep();
        ++steps;
    }
    return steps;
}
} // namespace

TEST(FixedStepTimer, FirstUpdateIsCappedAtFiveSteps) {
    FixedStepTimer t(16, 5);
    t.update(1000);
    EXPECT_EQ(t.accumulator, 80);
    EXPECT_EQ(drain(t), 4); // 80, 64, 48, 32 exceed 16; 16 does not
    EXPECT_EQ(t.accumulator, 16);
    EXPECT_EQ(t.updates, 1);
}

TEST(FixedStepTimer, BanksFrameTimeAndCountsSeeksBackwards) {
    FixedStepTimer t(16, 5);
    t.update(0);
    t.update(40);
    EXPECT_EQ(drain(t), 2);
    EXPECT_EQ(t.accumulator, 8);
    t.update(30); // a seek back by 10 ms still banks 10
    EXPECT_EQ(t.delta, 10);
    EXPECT_EQ(t.accumulator, 18);
    EXPECT_EQ(drain(t), 1);
}
