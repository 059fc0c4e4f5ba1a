// The walkers of Plates2 without GL: creation, the order in which one step
// draws from both generators, respawning, straight walkers, the ribbon
// geometry (how much is drawn, edges of the pulsing ribbons, nothing left
// from before a respawn) and the width by layer.
#include <gtest/gtest.h>

#include <cmath>

#include "core/CrtRandom.h"
#include "effects/Plates2.h"
#include "effects/Random.h"

using namespace ZEPHRAN_STAGEMILL;

namespace {

// Every walker mid-square, heading along +z, part way into a bout, with
// `steps` steps of a straight trail behind it.
void settleWalkers(int steps) {
    for (int i = 0; i < kWalkerCount; ++i) {
        Walker& w = g_walkers[i];
        w.position = Vector(float(i % 8) - 4.0f, i * 8.5f / kWalkerCount, -5.0f);
        w.heading = 0.0f;
        w.steps = steps;
        w.turn = 5;
        w.moved = 1;
        for (int k = 0; k < kTrailLength; ++k) {
            const float back = 0.1f * ((steps - k + 10 * kTrailLength) % kTrailLength);
            w.trail[k] = Vector(w.position.x, w.position.y, w.position.z - back);
            w.leftEdge[k] = w.trail[k] - Vector(1.0f, 0.0f, 0.0f);
            w.rightEdge[k] = w.trail[k] + Vector(1.0f, 0.0f, 0.0f);
        }
    }
}

int quadStripVertices(const StripMesh& mesh) {
    int count = 0;
    for (const StripBatch& b : mesh.batches) count += b.mode == GL_QUAD_STRIP ? b.count : 0;
    return count;
}

} // namespace

TEST(Plates2Walkers, CreationTakesDirectionsFromRandAndPositionsFromFrand) {
    crt::srand(7);
    seedRandom(99);
    createWalkers();

    crt::srand(7);
    seedRandom(99);
    for (int i = 0; i < kWalkerCount; ++i) {
        const int headingDraw = crt::rand();
        const int turnDraw = crt::rand();
        const float z = frand() - 0.5f, y = frand() - 0.5f, x = frand() - 0.5f;
        (void)y;
        const Walker& w = g_walkers[i];
        EXPECT_FLOAT_EQ(w.heading, (headingDraw % 4) * 0.25f * 6.28f + 0.4f) << "walker " << i;
        EXPECT_EQ(w.turn, turnDraw % 40 + 20) << "walker " << i;
        EXPECT_FLOAT_EQ(w.position.x, x * 20.0f);
        EXPECT_FLOAT_EQ(w.position.z, z * 20.0f);
        EXPECT_FLOAT_EQ(w.position.y, i * 8.5f / 65.0f);
        EXPECT_EQ(w.steps, 0);
        EXPECT_EQ(w.moved, 0);
        EXPECT_FLOAT_EQ(w.trail[0].x, w.position.x);
        EXPECT_FLOAT_EQ(w.leftEdge[0].z, w.position.z);
    }
}

// One step from a known state, the draws replayed in the documented order:
// per walker the bout-end threshold, the new direction only when a bout
// ends, the other threshold, its direction likewise; a respawn draws a
// position and a layer from frand and heading and bout length from rand.
TEST(Plates2Walkers, OneStepDrawsBothGeneratorsInTheDocumentedOrder) {
    settleWalkers(20);
    g_walkers[0].turn = 200;  // ends its bout: threshold, direction, threshold
    g_walkers[2].turn = -200; // ends its bout through the second test
    g_walkers[64].position = Vector(19.95f, 1.0f, 0.0f);
    g_walkers[64].heading = 1.5707963f; // steps out over x = 20 and respawns
    g_walkerStep = 7000;
    stepWalkers(0.5f);
    EXPECT_EQ(g_walkerStep, 7001);

    seedRandom(7001);
    crt::srand(7001);
    auto thresholds = [](int walkers) {
        for (int i = 0; i < 2 * walkers; ++i) frand();
    };
    frand();
    const int walker0Turn = frand() < 0.5f ? -1 : 1;
    frand();
    thresholds(1); // walker 1
    frand();
    frand();
    const int walker2Turn = frand() < 0.5f ? -1 : 1;
    thresholds(62); // walkers 3 .. 64, then walker 64 respawns
    const float z = frand() - 0.5f, y = frand() - 0.5f, x = frand() - 0.5f;
    (void)y;
    const float layer = frand() * 8.5f;
    const float heading = (crt::rand() % 4) * 0.25f * 6.28f + 0.4f;
    const int turn = crt::rand() % 130 + 50;

    EXPECT_EQ(g_walkers[0].turn, walker0Turn);
    EXPECT_EQ(g_walkers[1].turn, 6);
    EXPECT_EQ(g_walkers[2].turn, walker2Turn);
    const Walker& respawned = g_walkers[64];
    EXPECT_EQ(respawned.steps, 0);
    EXPECT_FLOAT_EQ(respawned.position.x, x * 20.0f);
    EXPECT_FLOAT_EQ(respawned.position.z, z * 20.0f);
    EXPECT_FLOAT_EQ(respawned.position.y, layer);
    EXPECT_FLOAT_EQ(respawned.trail[0].x, respawned.position.x);
    EXPECT_FLOAT_EQ(respawned.heading, heading);
    EXPECT_EQ(respawned.turn, turn);
}

TEST(Plates2Walkers, StepMovesAlongTheHeadingAndStoresEdges) {
    settleWalkers(20);
    g_walkerStep = 100;
    stepWalkers(0.5f); // speed 1: steps of 0.1
    const Walker& w = g_walkers[3];
    EXPECT_EQ(w.steps, 21);
    EXPECT_NEAR(w.position.z, -5.0f + 0.1f, 1e-6f);
    const Vector& head = w.trail[21];
    EXPECT_FLOAT_EQ(head.z, w.position.z);
    // Edges across the direction of travel, 0.9 * trailWidth to each side.
    const float half = 0.9f * trailWidth(head.y);
    EXPECT_NEAR(std::fabs(w.leftEdge[21].x - head.x), half, 1e-5f);
    EXPECT_NEAR(w.leftEdge[21].x + w.rightEdge[21].x, 2.0f * head.x, 1e-5f);
    EXPECT_FLOAT_EQ(w.leftEdge[21].z, head.z);

    // Speed: a quarter at the start, full from an eighth on, surging at the end.
    settleWalkers(20);
    stepWalkers(0.0f);
    EXPECT_NEAR(g_walkers[3].position.z, -5.0f + 0.025f, 1e-6f);
    settleWalkers(20);
    stepWalkers(1.0f);
    EXPECT_NEAR(g_walkers[3].position.z, -5.0f + 0.2f, 1e-6f);
}

TEST(Plates2Walkers, EveryTenthWalksStraightTheOthersTurn) {
    crt::srand(3);
    seedRandom(3);
    createWalkers();
    float headings[kWalkerCount];
    for (int i = 0; i < kWalkerCount; ++i) headings[i] = g_walkers[i].heading;
    for (int s = 0; s < 40; ++s) {
        stepWalkers(0.5f);
        for (int i = 0; i < kWalkerCount; ++i) {
            const Walker& w = g_walkers[i];
            if (w.steps == 0) { // respawned: a new heading
                headings[i] = w.heading;
                continue;
            }
            if (i % 10 == 0)
                EXPECT_EQ(w.heading, headings[i]) << "walker " << i;
            else
                EXPECT_NE(w.heading, headings[i]) << "walker " << i;
            headings[i] = w.heading;
        }
    }
}

TEST(Plates2Walkers, LeavingTheSquareRespawnsInsideIt) {
    crt::srand(11);
    seedRandom(11);
    createWalkers();
    int respawns = 0;
    for (int s = 0; s < 1500; ++s) {
        stepWalkers(0.5f);
        for (int i = 0; i < kWalkerCount; ++i) {
            const Walker& w = g_walkers[i];
            ASSERT_LE(std::fabs(w.position.x), 20.0f);
            ASSERT_LE(std::fabs(w.position.z), 20.0f);
            ASSERT_GE(w.position.y, 0.0f);
            ASSERT_LE(w.position.y, 8.5f);
            respawns += w.steps == 0;
        }
    }
    EXPECT_GT(respawns, 0);
}

TEST(Plates2Trails, NothingBeforeTwoStepsAtMostTheNewest149Entries) {
    StripMesh mesh;
    settleWalkers(0);
    for (int steps : {0, 1}) {
        g_walkers[5].steps = steps;
        mesh.clear();
        buildWalkerTrail(g_walkers[5], 5, 1.0f, mesh);
        EXPECT_TRUE(mesh.vertices.empty()) << steps << " steps";
    }
    for (int steps : {2, 10, 149, 150, 151, 1000}) {
        settleWalkers(steps);
        const int n = steps < 150 ? steps : 149;
        mesh.clear();
        buildWalkerTrail(g_walkers[5], 5, 1.0f, mesh);
        // Top face and two side walls over entries 1 .. n - 1, two caps.
        EXPECT_EQ(quadStripVertices(mesh), 3 * 2 * (n - 1)) << steps << " steps";
        EXPECT_EQ(mesh.vertices.size(), size_t(6 * (n - 1) + 8)) << steps << " steps";
        // Entries run from the head back; none older than 149 steps.
        const float headZ = g_walkers[5].trail[steps % 150].z;
        for (const StripVertex& v : mesh.vertices) {
            EXPECT_LE(v.position[2], headZ + 1e-4f);
            EXPECT_GT(v.position[2], headZ - 14.9f);
        }
    }
}

TEST(Plates2Trails, PulsingRibbonsMatchStoredEdgesAtLevelZero) {
    EXPECT_FLOAT_EQ(trailPulse(0.0f), 1.0f);
    crt::srand(5);
    seedRandom(5);
    createWalkers();
    for (int s = 0; s < 60; ++s) stepWalkers(0.5f);
    // Walker 16 recomputes its edges; drawn as walker 17 it uses the stored ones.
    Walker& w = g_walkers[16];
    ASSERT_GE(w.steps, 2) << "walker 16 respawned; pick another seed";
    StripMesh pulsing, stored;
    buildWalkerTrail(w, 16, trailPulse(0.0f), pulsing);
    buildWalkerTrail(w, 17, trailPulse(0.0f), stored);
    ASSERT_EQ(pulsing.vertices.size(), stored.vertices.size());
    for (size_t i = 0; i < pulsing.vertices.size(); ++i)
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(pulsing.vertices[i].position[c], stored.vertices[i].position[c], 1e-5f) << "vertex " << i;

    // A loud level widens only the pulsing ribbon.
    StripMesh loud;
    buildWalkerTrail(w, 16, trailPulse(5.0f), loud);
    const float* a = loud.vertices[0].position;
    const float* b = loud.vertices[1].position;
    const float* c = stored.vertices[0].position;
    const float* d = stored.vertices[1].position;
    EXPECT_NEAR(std::hypot(a[0] - b[0], a[2] - b[2]), 1.5f * std::hypot(c[0] - d[0], c[2] - d[2]), 1e-4f);
}

TEST(Plates2Trails, RespawnedWalkerDrawsNothingOfItsPreviousTrail) {
    crt::srand(9);
    seedRandom(9);
    createWalkers();
    for (int s = 0; s < 200; ++s) stepWalkers(0.5f);
    // Poison walker 30's buffers, then make it respawn at the next step.
    Walker& w = g_walkers[30];
    for (int k = 0; k < kTrailLength; ++k) w.trail[k] = w.leftEdge[k] = w.rightEdge[k] = Vector(1000.0f, 0, 1000.0f);
    w.position = Vector(20.0f, 3.0f, 0.0f);
    w.heading = 1.5707963f;
    stepWalkers(0.5f);
    ASSERT_EQ(w.steps, 0);
    const Vector start = w.position;
    for (int s = 0; s < 5; ++s) stepWalkers(0.5f);
    ASSERT_EQ(w.steps, 5);
    StripMesh mesh;
    buildWalkerTrail(w, 30, 1.0f, mesh);
    ASSERT_FALSE(mesh.vertices.empty());
    for (const StripVertex& v : mesh.vertices)
        EXPECT_LT(std::hypot(v.position[0] - start.x, v.position[2] - start.z), 4.0f);
}

TEST(Plates2Trails, WidthByLayer) {
    EXPECT_FLOAT_EQ(trailWidth(0.0f), 2.25f);
    EXPECT_FLOAT_EQ(trailWidth(8.5f), 0.5625f);
    EXPECT_GT(trailWidth(2.0f), trailWidth(6.0f));
}
