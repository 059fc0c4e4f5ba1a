// The rules of Plates that need no GL: the 32-beat section clock and its
// latch, the section cameras with their shaping, the plate geometry, and the
// geospheres per section.
#include <gtest/gtest.h>

#include <cmath>

#include "effects/BeatClock.h"
#include "effects/Plates.h"
#include "effects/Random.h"

using namespace ZEPHRAN_STAGEMILL;

namespace {

const unsigned long kPlatesEnd = 57875;

// Beat times of the song's grid (129.5 BPM, offset 350 us): beat 32 at
// 14825 ms, 64 at 29652, 96 at 44478, 128 at 59305.
BeatClock songClock() { return BeatClock(129.5f, 350); }

void forgetFirstSection() {
    g_platesFirstSection = 0;
    g_platesSection = 0;
    g_platesPhase = 0.0f;
}

} // namespace

TEST(PlatesSectionClock, FirstFrameLatchesSectionZeroFromItsFirstBeat) {
    forgetFirstSection();
    BeatClock clock = songClock();
    // The effect starts at 16668 ms, inside beats 32..63: the phase counts
    // from beat 32, not from the effect's start.
    EXPECT_EQ(updatePlatesSection(clock, 16668.0f, kPlatesEnd), 2);
    EXPECT_EQ(g_platesFirstSection, 2);
    EXPECT_EQ(g_platesSection, 0);
    EXPECT_EQ(g_platesSectionBeat, 32);
    EXPECT_NEAR(g_platesPhase, (16668.0f - 14825.0f) / (29652.0f - 14825.0f), 1e-6f);

    EXPECT_EQ(updatePlatesSection(clock, 30000.0f, kPlatesEnd), 3);
    EXPECT_EQ(g_platesSection, 1);
    EXPECT_EQ(g_platesSectionBeat, 64);
    EXPECT_NEAR(g_platesPhase, (30000.0f - 29652.0f) / (44478.0f - 29652.0f), 1e-6f);

    // A seek back renumbers nothing: the first section stays latched.
    updatePlatesSection(clock, 20000.0f, kPlatesEnd);
    EXPECT_EQ(g_platesFirstSection, 2);
    EXPECT_EQ(g_platesSection, 0);
}

TEST(PlatesSectionClock, LastSectionEndsAtTheEffectsEndAndReachesPhaseOne) {
    forgetFirstSection();
    BeatClock clock = songClock();
    updatePlatesSection(clock, 16668.0f, kPlatesEnd);
    updatePlatesSection(clock, 57000.0f, kPlatesEnd);
    EXPECT_EQ(g_platesSection, 2);
    // Beat 128 (59305 ms) lies past the end; the section ends at 57875.
    EXPECT_NEAR(g_platesPhase, (57000.0f - 44478.0f) / (57875.0f - 44478.0f), 1e-6f);
    updatePlatesSection(clock, 57875.0f, kPlatesEnd);
    EXPECT_FLOAT_EQ(g_platesPhase, 1.0f);
    // A section ending before the effect keeps its own end.
    updatePlatesSection(clock, 44000.0f, kPlatesEnd);
    EXPECT_NEAR(g_platesPhase, (44000.0f - 29652.0f) / (44478.0f - 29652.0f), 1e-6f);
}

TEST(PlatesSectionClock, FirstFrameLaterInTheEffectIsSectionZero) {
    forgetFirstSection();
    BeatClock clock = songClock();
    EXPECT_EQ(updatePlatesSection(clock, 40000.0f, kPlatesEnd), 3);
    EXPECT_EQ(g_platesSection, 0);
    updatePlatesSection(clock, 50000.0f, kPlatesEnd);
    EXPECT_EQ(g_platesSection, 1);
}

// Expected eye and target worked out apart from the product (the generator,
// spherical coordinates, the draws and the shaping table written out anew).
TEST(PlatesCamera, SectionCamerasMatchValuesWorkedOutByHand) {
    struct Case {
        int absolute, relative;
        float phase, position;
        float eye[3], target[3];
    };
    const Case cases[] = {
        {2, 0, 0.5f, 0.25f, {-0.44150f, 6.42857f, 1.57841f}, {-0.04916f, -0.32114f, -0.22612f}},
        {3, 1, 0.3f, 0.5f, {-9.12520f, 7.59185f, -0.51895f}, {1.21830f, 0.0f, -2.21955f}},
        {4, 2, 0.8f, 0.9f, {3.60784f, 3.40280f, 2.22118f}, {0.40249f, 0.58810f, 0.06984f}},
        {5, 3, 0.5f, 0.95f, {-5.24968f, 8.77413f, 11.25627f}, {6.91204f, 0.24428f, -1.80238f}},
    };
    for (const Case& c : cases) {
        frand(); // whatever the generator held before
        const PlatesCamera camera = platesSectionCamera(c.absolute, c.relative, c.phase, c.position);
        const float eye[3] = {camera.eye.x, camera.eye.y, camera.eye.z};
        const float target[3] = {camera.target.x, camera.target.y, camera.target.z};
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(eye[i], c.eye[i], 2e-4f) << "section " << c.absolute << " eye " << i;
            EXPECT_NEAR(target[i], c.target[i], 2e-4f) << "section " << c.absolute << " target " << i;
        }
    }
}

TEST(PlatesGeometry, StripsFollowTheAngleOffsetsWithCapsAtBothEnds) {
    PlateShape plate = {2.5f, 17.5f, 1.0f, 0.3f, 2.5f, {1.0f, 1.0f, 1.0f}};
    StripMesh mesh;
    buildPlate(plate, mesh);
    // Offsets 0, 0.075, ..., 2.475 (34 of them): bottom, top, inner wall and
    // one batch of two caps. No outer wall.
    ASSERT_EQ(mesh.batches.size(), 4u);
    for (int b = 0; b < 3; ++b) {
        EXPECT_EQ(mesh.batches[b].mode, static_cast<GLenum>(GL_QUAD_STRIP));
        EXPECT_EQ(mesh.batches[b].count, 68) << "batch " << b;
    }
    EXPECT_EQ(mesh.batches[3].mode, static_cast<GLenum>(GL_QUADS));
    EXPECT_EQ(mesh.batches[3].count, 8);
    ASSERT_EQ(mesh.vertices.size(), 3u * 68u + 8u);

    auto radius = [](const StripVertex& v) { return std::hypot(v.position[0], v.position[2]); };
    auto angle = [](const StripVertex& v) { return std::atan2(v.position[0], v.position[2]); };
    for (int i = 0; i < 68; ++i) {
        const StripVertex& bottom = mesh.vertices[i];
        const StripVertex& top = mesh.vertices[68 + i];
        const StripVertex& wall = mesh.vertices[136 + i];
        EXPECT_FLOAT_EQ(bottom.position[1], 1.0f);
        EXPECT_FLOAT_EQ(top.position[1], 1.1f);
        EXPECT_NEAR(radius(bottom), i % 2 ? 17.5f : 2.5f, 1e-4f);
        EXPECT_NEAR(radius(wall), 2.5f, 1e-4f) << "the only wall is the inner one";
        EXPECT_FLOAT_EQ(bottom.normal[1], -1.0f);
        EXPECT_FLOAT_EQ(top.normal[1], 1.0f);
        EXPECT_NEAR(angle(bottom), 0.3f + (i / 2) * 0.075f, 2e-5f);
    }
    const float lastAngle = 0.3f + 33 * 0.075f;
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(angle(mesh.vertices[204 + i]), 0.3f, 1e-5f) << "start cap";
        EXPECT_NEAR(angle(mesh.vertices[208 + i]), lastAngle, 1e-5f) << "end cap at the last offset";
    }
}

TEST(PlatesGeometry, FifteenPlatesFromSeed231WithLevelAndRise) {
    PlateShape first[kPlateCount], again[kPlateCount];
    seedRandom(5);
    platesShapes(0.4f, 0.0f, 0, 0.5f, first);
    frand();
    platesShapes(0.4f, 0.0f, 0, 0.5f, again);
    for (int k = 0; k < kPlateCount; ++k) {
        const int n = kPlateCount - 1 - k;
        EXPECT_EQ(first[k].start, again[k].start);
        EXPECT_FLOAT_EQ(first[k].inner, 0.75f * n + 2.5f);
        EXPECT_FLOAT_EQ(first[k].outer, first[k].inner + 15.0f);
        EXPECT_NEAR(first[k].bottom, 0.3f * std::pow(float(n), 1.15f), 1e-5f);
        EXPECT_GE(first[k].length, 2.2f);
        EXPECT_LE(first[k].length, 6.0f);
        if (n & 1) {
            EXPECT_EQ(first[k].colour[1], 1.0f);
            EXPECT_EQ(first[k].colour[2], 1.0f);
        } else {
            EXPECT_FLOAT_EQ(first[k].colour[1], 0.07f);
            EXPECT_FLOAT_EQ(first[k].colour[2], 0.4f);
        }
    }

    // The level widens plates 11 and 4 only.
    PlateShape loud[kPlateCount];
    platesShapes(0.4f, 2.0f, 0, 0.5f, loud);
    for (int k = 0; k < kPlateCount; ++k) {
        const int n = kPlateCount - 1 - k;
        const float factor = (n == 11 || n == 4) ? 1.1f : 1.0f;
        EXPECT_FLOAT_EQ(loud[k].inner, first[k].inner * factor) << "n " << n;
    }

    // Section 2 raises the stack over the second part of its phase.
    PlateShape risen[kPlateCount];
    platesShapes(0.4f, 0.0f, 2, 0.4f, risen);
    EXPECT_FLOAT_EQ(risen[0].bottom, first[0].bottom);
    platesShapes(0.4f, 0.0f, 2, 1.0f, risen);
    EXPECT_FLOAT_EQ(risen[0].bottom, first[0].bottom * 1.75f);
    platesShapes(0.4f, 0.0f, 3, 1.0f, risen);
    EXPECT_FLOAT_EQ(risen[0].bottom, first[0].bottom);
}

TEST(PlatesGeospheres, NoneInSectionZeroTwoInSectionOneFourLater) {
    GeosphereFlight flights[kMaxGeospheres];
    EXPECT_EQ(flyingGeospheres(0, 0.5f, 0.3f, flights), 0);
    EXPECT_EQ(flyingGeospheres(1, 0.5f, 0.3f, flights), 2);
    EXPECT_EQ(flights[0].node, 0);
    EXPECT_EQ(flights[1].node, 1);
    EXPECT_EQ(flyingGeospheres(2, 0.5f, 0.3f, flights), 4);
    GeosphereFlight later[kMaxGeospheres];
    EXPECT_EQ(flyingGeospheres(5, 0.5f, 0.3f, later), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(later[i].node, i & 1);
        // Same seed from section 2 on; section 2 flies about half a unit lower.
        EXPECT_NEAR(later[i].at.y - flights[i].at.y, 0.50165f, 1e-3f);
        EXPECT_FLOAT_EQ(later[i].at.x, flights[i].at.x);
        EXPECT_FLOAT_EQ(later[i].angleY, flights[i].angleY);
    }
}
