// How much of each flower tube is drawn over the span: growth one flower
// after another, staggered wilting, the cut from the tip at the end.
#include <gtest/gtest.h>

#include "effects/ParticleFlower.h"
#include "effects/Random.h"
#include "effects/TubeMesh.h"

namespace {

const int kRings = kFlowerTubeRings;

class FlowerRange : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        seedRandom(2323);
        for (int f = 0; f < kFlowerCount; ++f) buildFlower(g_flowers[f], f);
    }
    static void TearDownTestSuite() {
        for (Flower& flower : g_flowers)
            for (TubeMesh*& tube : flower.tubes) {
                delete tube;
                tube = nullptr;
            }
    }
    // Triangles drawn of all seventeen tubes of flower f.
    static int drawn(float position, int f) {
        int sum = 0;
        for (int g = 0; g < kFlowerTubes; ++g)
            sum += flowerTubeRange(position, f, g, kRings).triangles(kFlowerTubeSegments);
        return sum;
    }
};

} // namespace

TEST_F(FlowerRange, FlowersAreBuiltFromTheirOriginsWithStaggeredStarts) {
    EXPECT_EQ(g_flowers[0].timeOffset, 0.0f);
    EXPECT_FLOAT_EQ(g_flowers[3].timeOffset, 0.444f);
    EXPECT_EQ(g_flowers[4].origin.x, 0.0f);
    EXPECT_EQ(g_flowers[4].origin.z, 0.0f);
    EXPECT_EQ(g_flowers[2].origin.z, 18.0f);
    for (const Flower& flower : g_flowers) {
        for (const TubeMesh* tube : flower.tubes) {
            ASSERT_NE(tube, nullptr);
            EXPECT_EQ(tube->rings, kRings);
            EXPECT_EQ(tube->segments, kFlowerTubeSegments);
        }
        // Every tube starts at the flower's origin: its base ring's centre
        // (midway between opposite vertices 0 and 4) lies there.
        const TubeMesh* tube = flower.tubes[5];
        const stm::Vector centre = (tube->positions[0] + tube->positions[4]) * 0.5f;
        EXPECT_NEAR(centre.x, flower.origin.x, 0.2f);
        EXPECT_NEAR(centre.y, flower.origin.y, 0.2f);
        EXPECT_NEAR(centre.z, flower.origin.z, 0.2f);
    }
}

TEST_F(FlowerRange, OnlyTheFirstFlowerShowsAtTheStartAndTheRestFollowInTurn) {
    EXPECT_GT(drawn(0.0f, 0), 0);
    for (int f = 1; f < kFlowerCount; ++f) EXPECT_EQ(drawn(0.0f, f), 0) << "flower " << f;
    // Flower f starts growing about f * 0.148 of the span later.
    for (int f = 1; f < kFlowerCount; ++f) {
        const float due = 0.148f * static_cast<float>(f) + 0.12f;
        EXPECT_GT(drawn(due, f), 0) << "flower " << f << " at " << due;
        EXPECT_GT(drawn(due, f - 1), 0) << "flower " << f - 1 << " at " << due;
    }
}

TEST_F(FlowerRange, FlowersWiltInTurnAndTheLastNever) {
    EXPECT_EQ(flowerWilt(0.35f, 0), 1.0f);
    EXPECT_FLOAT_EQ(flowerWilt(0.525f, 0), 0.5f);
    for (float p = 0.7f; p <= 1.0f; p += 0.01f) EXPECT_EQ(drawn(p, 0), 0) << "flower 0 at " << p;
    EXPECT_GT(drawn(0.6f, 0), 0);
    EXPECT_EQ(drawn(0.9f, 1), 0); // flower 1 gone from 0.9
    EXPECT_GT(drawn(0.9f, 2), 0); // flower 2 still wilting at 0.9
    for (float p = 0.0f; p <= 1.0f; p += 0.01f) EXPECT_EQ(flowerWilt(p, 4), 1.0f) << p;
    EXPECT_NEAR(flowerWilt(1.0f, 3), 1.0f - 0.05f / 0.35f, 1e-5f);
}

TEST_F(FlowerRange, TheEndCutsTubesBackFromTheTipToNothing) {
    const TubeRange before = flowerTubeRange(0.975f, 4, 3, kRings);
    EXPECT_EQ(before.first, 0);
    const TubeRange during = flowerTubeRange(0.995f, 4, 3, kRings);
    EXPECT_GT(during.first, 0);
    EXPECT_LT(during.triangles(kFlowerTubeSegments), before.triangles(kFlowerTubeSegments));
    for (int f = 0; f < kFlowerCount; ++f) {
        for (int g = 0; g < kFlowerTubes; ++g) {
            const TubeRange end = flowerTubeRange(1.0f, f, g, kRings);
            EXPECT_EQ(end.first, kRings - 1);
            EXPECT_EQ(end.triangles(kFlowerTubeSegments), 0) << f << " " << g;
            // Never more triangles than the tube holds.
            for (float p = 0.0f; p <= 1.0f; p += 0.05f)
                EXPECT_LE(flowerTubeRange(p, f, g, kRings).triangles(kFlowerTubeSegments),
                          2 * kFlowerTubeSegments * kRings);
        }
    }
}
