// GrowPrimitives' rules that need no GL: the strict step and the disc wobble
// at and around their ends, the arrow star's flight, the chains' object
// ranges, the pop-in scale, the fade, the credits wipe, the growth paths and
// the background flares.
#include <gtest/gtest.h>

#include <cmath>

#include "effects/GrowPrimitives.h"
#include "effects/Random.h"

using namespace ZEPHRAN_STAGEMILL;

TEST(PrimitivesSteps, LinearStepStrictAtAndAroundItsEnds) {
    EXPECT_EQ(linearStepStrict(2.0f, 2.0f, 4.0f), 0.0f);
    EXPECT_EQ(linearStepStrict(std::nextafter(2.0f, 0.0f), 2.0f, 4.0f), 0.0f);
    EXPECT_GT(linearStepStrict(std::nextafter(2.0f, 3.0f), 2.0f, 4.0f), 0.0f);
    EXPECT_FLOAT_EQ(linearStepStrict(3.0f, 2.0f, 4.0f), 0.5f);
    EXPECT_EQ(linearStepStrict(4.0f, 2.0f, 4.0f), 1.0f);
    EXPECT_EQ(linearStepStrict(std::nextafter(4.0f, 5.0f), 2.0f, 4.0f), 1.0f);
    EXPECT_LT(linearStepStrict(std::nextafter(4.0f, 0.0f), 2.0f, 4.0f), 1.0f);
    // An empty window is a step, never 0 / 0.
    EXPECT_EQ(linearStepStrict(2.0f, 2.0f, 2.0f), 1.0f);
    EXPECT_EQ(linearStepStrict(1.9f, 2.0f, 2.0f), 0.0f);
    EXPECT_EQ(linearStepStrict(2.1f, 2.0f, 2.0f), 1.0f);
}

TEST(PrimitivesSteps, DiscWobbleJumpsToAFifthAndOpensEarlyInItsWindow) {
    const float lo = 0.1f, hi = 0.3f;
    EXPECT_EQ(wobbleStep(std::nextafter(lo, 0.0f), lo, hi, 0.05f, 1.0f, 0.1f), 0.0f);
    EXPECT_FLOAT_EQ(wobbleStep(lo, lo, hi, 0.05f, 1.0f, 0.1f), 0.2f);
    EXPECT_NEAR(wobbleStep(hi, lo, hi, 0.05f, 1.0f, 0.1f), 1.0f, 1e-4f);
    EXPECT_EQ(wobbleStep(std::nextafter(hi, 1.0f), lo, hi, 0.05f, 1.0f, 0.1f), 1.0f);
    // With the discs' settings the opening is over within the first
    // twentieth of the window and stays between 0.2 and 1 throughout.
    EXPECT_GT(wobbleStep(lo + 0.05f * (hi - lo), lo, hi, 0.05f, 1.0f, 0.1f), 0.99f);
    for (int i = 0; i <= 100; ++i) {
        const float x = lo + (hi - lo) * i / 100.0f;
        const float w = wobbleStep(x, lo, hi, 0.05f, 1.0f, 0.1f);
        EXPECT_GE(w, 0.2f - 1e-6f) << "x " << x;
        EXPECT_LE(w, 1.0f + 1e-6f) << "x " << x;
    }
    // A settle fraction of 0 makes the inner window empty: a value, not NaN.
    EXPECT_FALSE(std::isnan(wobbleStep(lo, lo, hi, 0.0f, 1.0f, 0.1f)));
}

TEST(PrimitivesStar, ArrowsAppearInTurnFlyInFromAThousandAndStopAtTheirSize) {
    const float lo = 0.2f, hi = 0.25f, size = 65.0f, step = (hi - lo) / 5.0f;
    // Before the first arrow's window nothing is drawn at all.
    for (int j = 0; j < 5; ++j) EXPECT_EQ(starArrow(lo - 2.0f * step, lo, hi, size, j).a, 0.0f) << "arrow " << j;
    // Arrow j starts at lo + (j - 2) step: arrow 0 leads, arrow 4 is last.
    const float x = lo + 0.5f * step;
    EXPECT_GT(starArrow(x, lo, hi, size, 0).a, 0.0f);
    EXPECT_GT(starArrow(x, lo, hi, size, 2).a, 0.0f);
    EXPECT_EQ(starArrow(x, lo, hi, size, 3).a, 0.0f);
    EXPECT_EQ(starArrow(x, lo, hi, size, 4).a, 0.0f);
    for (int j = 0; j < 5; ++j) {
        float previous = 1000.0f;
        for (int i = 0; i <= 200; ++i) {
            const StarArrow s = starArrow(lo - 3.0f * step + i * 0.05f * step, lo, hi, size, j);
            EXPECT_LE(s.outer, previous) << "arrow " << j << " moves back out";
            EXPECT_LE(s.outer, 1000.0f);
            EXPECT_GE(s.outer, 1.45f * size);
            EXPECT_GE(s.inner, 0.3f * size);
            previous = s.outer;
        }
        const StarArrow early = starArrow(lo + (j - 2) * step + 1e-5f, lo, hi, size, j);
        EXPECT_GT(early.outer, 990.0f) << "arrow " << j << " does not come from far out";
        const StarArrow done = starArrow(hi + step, lo, hi, size, j);
        EXPECT_FLOAT_EQ(done.outer, 1.45f * size);
        EXPECT_FLOAT_EQ(done.inner, 0.3f * size);
        EXPECT_FLOAT_EQ(done.head, 0.075f * size);
    }
}

TEST(PrimitivesChains, ObjectsLieBetweenTheCutTailAndTheGrowthFront) {
    for (float position = 0.0f; position <= 1.0f; position += 0.01f) {
        for (int k = 0; k < 3; ++k) {
            const ChainGrowth g = chainGrowth(position, k);
            EXPECT_GE(g.grow, position);
            EXPECT_LE(g.grow, position + 0.05f + 1e-6f);
            const StepRange objects = objectSteps(g);
            if (objects.empty()) continue;
            EXPECT_GT(objects.first, (position - 0.15f) * 600.0f - 1e-3f) << "an object older than 0.15 of the span";
            EXPECT_LT(objects.last, g.grow * 600.0f) << "an object ahead of the front";
            EXPECT_LE(objects.last - objects.first + 1, 120);
            const StepRange accents = accentSteps(g);
            EXPECT_LT(accents.last, g.grow * 600.0f);
            EXPECT_GE(accents.first, 0);
        }
    }
    // Chain 0 starts with nothing; the others already show a few objects.
    EXPECT_TRUE(objectSteps(chainGrowth(0.0f, 0)).empty());
    EXPECT_TRUE(accentSteps(chainGrowth(0.0f, 0)).empty());
    EXPECT_FALSE(objectSteps(chainGrowth(0.0f, 1)).empty());
}

TEST(PrimitivesChains, NothingDrawnWhileTheFrontLagsTheTailCut) {
    for (float position : {0.3f, 0.5f, 0.8f}) {
        ChainGrowth g;
        g.from = (position - 0.15f) * 600.0f;
        g.grow = position - 0.15f + 1.0f / 600.0f - 1e-4f;
        EXPECT_TRUE(objectSteps(g).empty()) << "position " << position;
        g.grow = position - 0.15f + 2.5f / 600.0f;
        const StepRange one = objectSteps(g);
        EXPECT_EQ(one.last - one.first + 1, 1) << "position " << position;
    }
}

TEST(PrimitivesObjects, PopInOvershootsThenSettlesAtOneAndAHalf) {
    EXPECT_FLOAT_EQ(popScale(0.0f), 0.0f);
    EXPECT_NEAR(popScale(1.0f), 1.5f, 1e-4f);
    float peak = 0.0f, peakAt = 0.0f;
    for (int i = 0; i <= 1000; ++i) {
        const float s = popScale(i / 1000.0f);
        if (s > peak) {
            peak = s;
            peakAt = i / 1000.0f;
        }
    }
    EXPECT_GT(peak, 1.6f);
    EXPECT_LT(peakAt, 0.85f);
}

TEST(PrimitivesFade, InOverThreePercentOutOverTheLastEighth) {
    GrowPrimitives effect;
    EXPECT_EQ(effect.fadeRule.apply(0.0f), 0.0f);
    EXPECT_FLOAT_EQ(effect.fadeRule.apply(0.015f), 0.5f);
    EXPECT_EQ(effect.fadeRule.apply(0.5f), 1.0f);
    EXPECT_EQ(effect.fadeRule.apply(0.875f), 1.0f);
    EXPECT_FLOAT_EQ(effect.fadeRule.apply(0.9375f), 0.5f);
    EXPECT_EQ(effect.fadeRule.apply(1.0f), 0.0f);
}

TEST(PrimitivesCredits, WipeInFromTheLeftThenAwayToTheRight) {
    for (float p : {0.0f, 0.9f, 0.925f, 0.9251f}) EXPECT_FALSE(creditsWipe(p).drawn) << "position " << p;
    EXPECT_TRUE(creditsWipe(0.9253f).drawn);
    EXPECT_TRUE(creditsWipe(1.0f).drawn);
    // Opening: the right edge runs 0 -> 1 over c = 0 .. 0.175 while the left
    // edge stays at 0; closing: the left edge follows over c = 0.93 .. 1.
    const float opened = 0.925f + 0.175f * 0.075f, closing = 0.925f + 0.93f * 0.075f;
    EXPECT_EQ(creditsWipe(0.925f).right, 0.0f);
    EXPECT_NEAR(creditsWipe(0.925f + 0.0875f * 0.075f).right, 0.5f, 1e-3f);
    EXPECT_NEAR(creditsWipe(opened + 1e-5f).right, 1.0f, 1e-6f);
    EXPECT_EQ(creditsWipe(closing - 1e-4f).left, 0.0f);
    EXPECT_NEAR(creditsWipe(0.925f + 0.965f * 0.075f).left, 0.5f, 1e-3f);
    EXPECT_EQ(creditsWipe(1.0f).left, 1.0f);
    for (float p = 0.925f; p <= 1.0f; p += 0.001f) EXPECT_LE(creditsWipe(p).left, creditsWipe(p).right);
}

TEST(PrimitivesPaths, ThreeSeededChainsClimbFromTwoHundredFiftyToFortyFiveHundred) {
    Spline first[3], second[3];
    buildPrimitiveSplines(first);
    seedRandom(99);
    buildPrimitiveSplines(second);
    for (int k = 0; k < 3; ++k) {
        EXPECT_FLOAT_EQ(first[k].evaluate(0.0f).y, 250.0f) << "chain " << k;
        EXPECT_FLOAT_EQ(first[k].evaluate(1.0f).y, 4500.0f) << "chain " << k;
        for (float t : {0.0f, 0.37f, 1.0f}) {
            const Vector3 a = first[k].evaluate(t), b = second[k].evaluate(t);
            EXPECT_EQ(a.x, b.x);
            EXPECT_EQ(a.z, b.z);
            // Control points lie within 75 + 125 of the axis in x and z; the
            // curve overshoots them by at most a quarter.
            EXPECT_LE(std::fabs(a.x), 250.0f);
            EXPECT_LE(std::fabs(a.z), 250.0f);
        }
    }
    EXPECT_NE(first[0].evaluate(0.5f).x, first[1].evaluate(0.5f).x);
    EXPECT_NE(first[1].evaluate(0.5f).x, first[2].evaluate(0.5f).x);
}

TEST(PrimitivesFlares, NoneUntilFivePercentThenSeventyDriftingOutwards) {
    Array<FlareQuad> flares;
    for (float p : {0.0f, 0.03f, 0.05f}) {
        buildPrimitiveFlares(p, flares);
        EXPECT_EQ(flares.size(), 0u) << "position " << p;
    }
    buildPrimitiveFlares(0.2f, flares);
    ASSERT_EQ(flares.size(), 70u);
    double nearSpread = 0.0;
    for (unsigned int i = 0; i < flares.size(); ++i)
        nearSpread += std::hypot(flares.get(i).x - 0.5f, flares.get(i).y - 0.5f);
    buildPrimitiveFlares(0.8f, flares);
    ASSERT_EQ(flares.size(), 70u);
    double farSpread = 0.0;
    for (unsigned int i = 0; i < flares.size(); ++i)
        farSpread += std::hypot(flares.get(i).x - 0.5f, flares.get(i).y - 0.5f);
    EXPECT_GT(farSpread, 2.0 * nearSpread);
}
