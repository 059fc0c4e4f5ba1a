// Easing curves at known points, including the ends and the unscaled forms.
#include "effects/Easing.h"

#include <gtest/gtest.h>

TEST(Easing, StepsAtTheirEnds) {
    EXPECT_EQ(linearStep(2.0f, 1.0f, 2.0f), 1.0f);
    EXPECT_EQ(linearStep(1.0f, 1.0f, 2.0f), 0.0f);
    EXPECT_EQ(linearStep(1.25f, 1.0f, 2.0f), 0.25f);
    EXPECT_EQ(linearStep(5.0f, 3.0f, 3.0f), 1.0f); // empty range: no division
    EXPECT_EQ(smoothStep(1.0f, 1.0f, 2.0f), 0.0f);
    EXPECT_EQ(smoothStep(0.5f, 0.0f, 1.0f), 0.5f);
    EXPECT_EQ(smoothStep(0.25f, 0.0f, 1.0f), 0.15625f);
    EXPECT_EQ(smoothStep(3.0f, 0.0f, 1.0f), 1.0f);
    EXPECT_NEAR(easeInSine(0.5f, 0.0f, 1.0f), 0.29289322f, 1e-6);
    EXPECT_EQ(easeInSine(0.01f, 0.0f, 1.0f), 0.0f); // 0.000123 snaps to 0
    EXPECT_NEAR(easeInSine(0.04f, 0.0f, 1.0f), 0.0019733f, 1e-6);
    EXPECT_EQ(easeInSine(1.0f, 0.0f, 1.0f), 1.0f);
}

TEST(Easing, BounceBackAndElastic) {
    EXPECT_NEAR(bounceStep(0.2f, 0.0f, 1.0f), 0.3025f, 1e-6);
    EXPECT_NEAR(bounceStep(3.0f, 2.0f, 4.0f), 2.0f + 2.0f * 0.765625f, 1e-5);
    EXPECT_NEAR(bounceStep(0.85f, 0.0f, 1.0f), 7.5625f * 0.0318182f * 0.0318182f + 0.9375f, 1e-5);
    EXPECT_NEAR(bounceStep(1.0f, 0.0f, 1.0f), 1.0f, 1e-6);

    EXPECT_NEAR(easeInBack(0.5f, 0.0f, 1.0f), -0.0876975f, 1e-6);
    EXPECT_NEAR(easeInBack(9.0f, 2.0f, 4.0f), 3.0f, 1e-6); // clamped, lo + 1, not scaled

    EXPECT_EQ(easeOutElastic(2.0f, 2.0f, 4.0f, 0.0f, 0.0f), 2.0f);
    EXPECT_EQ(easeOutElastic(4.0f, 2.0f, 4.0f, 0.0f, 0.0f), 3.0f);
    // Default period 0.3, s = 0.075: 2^-5 * sin(5/6 pi + 2 pi) + 1.
    EXPECT_NEAR(easeOutElastic(0.5f, 0.0f, 1.0f, 0.0f, 0.0f), 1.015625f, 1e-5);
    // Amplitude 2: s = asin(0.5) * 0.3 / 2pi = 0.025.
    EXPECT_NEAR(easeOutElastic(0.5f, 0.0f, 1.0f, 2.0f, 0.3f), 0.96875f, 1e-5);
}
