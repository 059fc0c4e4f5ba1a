// DanceCube's and Doors' rules that need no GL: trail stepping, turning and
// respawning, the strip a trail is drawn with (never reaching back to the
// head, faded at both ends), sections and the camera, the tiles' lift, and
// the door's sections, patterns and leaf counts.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "core/CrtRandom.h"
#include "effects/AudioAnalyser.h"
#include "effects/DanceCube.h"
#include "effects/Doors.h"
#include "effects/Globals.h"
#include "effects/Random.h"

using namespace ZEPHRAN_STAGEMILL;

namespace {

void silence(float* buffer, int count) {
    for (int i = 0; i < count; ++i) buffer[i] = 0.0f;
}
float noTime() { return 0.0f; }

// A trail at `head` going straight along `heading` with a turn timer far
// from zero, its history a straight line of `count` points behind the head.
Trail straightTrail(Vector head, float heading, int count) {
    Trail t;
    t.heading = heading;
    t.turnTimer = 1000;
    const Vector step(std::sin(heading) * 0.0075f, std::cos(heading) * 0.0075f, 0.0f);
    for (int k = 0; k < Trail::kLength && k <= count; ++k)
        t.history[(count - k) % Trail::kLength] = head - step * static_cast<float>(k);
    t.head = head;
    t.count = count;
    return t;
}

bool isStartHeading(float heading) {
    for (int k = 0; k < 4; ++k)
        if (std::fabs(heading - (k * 0.25f * 6.28f + 0.4f)) < 1e-5f) return true;
    return false;
}

} // namespace

TEST(DanceTrails, StepMovesTheHeadAndRecordsItAsNewest) {
    Trail t = straightTrail(Vector(0.5f, 0.5f, 0.0f), 0.0f, 5);
    stepTrail(t, 0, 1.0f);
    EXPECT_EQ(t.count, 6);
    EXPECT_FLOAT_EQ(t.head.x, 0.5f);
    EXPECT_FLOAT_EQ(t.head.y, 0.5075f); // heading 0 moves along +y
    EXPECT_FLOAT_EQ(t.history[6].y, t.head.y);
    EXPECT_EQ(t.turnTimer, 999);
    EXPECT_FLOAT_EQ(t.heading, 0.0f); // no turn while the timer is positive

    // Louder music moves the trail faster: speed factor 2 doubles the step.
    Trail fast = straightTrail(Vector(0.5f, 0.5f, 0.0f), 3.14159265f / 2, 5);
    stepTrail(fast, 1, 2.0f);
    EXPECT_NEAR(fast.head.x, 0.515f, 1e-6f);
}

TEST(DanceTrails, NegativeTimerTurnsEvenAndOddTrailsOppositeWaysThenRearms) {
    Trail even = straightTrail(Vector(0.5f, 0.5f, 0.0f), 1.0f, 3);
    Trail odd = even;
    even.turnTimer = odd.turnTimer = 0;
    seedRandom(7);
    stepTrail(even, 4, 1.0f);
    seedRandom(7);
    stepTrail(odd, 5, 1.0f);
    EXPECT_EQ(even.turnTimer, -1);
    EXPECT_FLOAT_EQ(even.heading, 1.0f + 0.052333336f);
    EXPECT_FLOAT_EQ(odd.heading, 1.0f - 0.052333336f);

    // Turning lasts at most 120 steps, then the timer is rearmed to 10..109.
    Trail t = straightTrail(Vector(0.5f, 0.5f, 0.0f), 1.0f, 3);
    t.turnTimer = 0;
    int turning = 0;
    while (t.turnTimer < 0 || turning == 0) {
        stepTrail(t, 0, 0.1f);
        ++turning;
        ASSERT_LE(turning, 122);
    }
    EXPECT_GE(turning, 31);
    EXPECT_GE(t.turnTimer, 10);
    EXPECT_LE(t.turnTimer, 109);
}

TEST(DanceTrails, LeavingTheSquareRespawnsInsideTheScreenWithAnEmptyTail) {
    for (float heading : {3.14159265f / 2, 3.14159265f, -3.14159265f / 2, 0.0f}) {
        // One step short of the border at 2, heading out of the square.
        Trail t = straightTrail(Vector(1.997f * std::sin(heading), 1.997f * std::cos(heading), 0.0f), heading, 90);
        crt::srand(11);
        stepTrail(t, 2, 1.0f);
        EXPECT_EQ(t.count, 0) << heading;
        EXPECT_GE(t.head.x, 0.0f);
        EXPECT_LE(t.head.x, 1.0f);
        EXPECT_GE(t.head.y, 0.0f);
        EXPECT_LE(t.head.y, 1.0f);
        EXPECT_EQ(t.history[0].x, t.head.x);
        EXPECT_EQ(t.history[0].y, t.head.y);
        EXPECT_TRUE(isStartHeading(t.heading)) << t.heading;
        EXPECT_GE(t.turnTimer, 50);
        EXPECT_LE(t.turnTimer, 179);
        TrailRib ribs[Trail::kLength];
        EXPECT_EQ(buildTrailRibs(t, 2, 1.0f, ribs), 0);
    }
}

TEST(DanceTrails, StepsDependOnlyOnTheStepNumber) {
    SpectrumAnalyser* saved = g_spectrum;
    g_spectrum = new SpectrumAnalyser(8, silence, noTime);
    g_trailStep = 0;
    initTrails();
    Trail start[kTrailCount];
    for (int i = 0; i < kTrailCount; ++i) {
        start[i] = *g_trails[i];
        EXPECT_TRUE(isStartHeading(start[i].heading));
        EXPECT_GE(start[i].turnTimer, 20);
        EXPECT_LE(start[i].turnTimer, 59);
    }
    auto run = [&](unsigned noise) {
        for (int i = 0; i < kTrailCount; ++i) *g_trails[i] = start[i];
        g_trailStep = 0;
        seedRandom(noise); // whatever the generators held before
        crt::srand(noise);
        for (int s = 0; s < 400; ++s) stepTrails();
    };
    run(1);
    Trail first[kTrailCount];
    for (int i = 0; i < kTrailCount; ++i) first[i] = *g_trails[i];
    run(987654);
    for (int i = 0; i < kTrailCount; ++i) {
        EXPECT_EQ(g_trails[i]->head.x, first[i].head.x) << i;
        EXPECT_EQ(g_trails[i]->head.y, first[i].head.y) << i;
        EXPECT_EQ(g_trails[i]->count, first[i].count) << i;
        EXPECT_EQ(g_trails[i]->turnTimer, first[i].turnTimer) << i;
    }
    delete g_spectrum;
    g_spectrum = saved;
}

TEST(DanceTrails, StripNeverReachesBackToTheHead) {
    // A straight trail: every rib must lie across the line the same way. The
    // oldest rib paired with the head would point forwards and flip over.
    for (int count : {69, 70, 71, 139, 500}) {
        const float heading = 0.3f;
        Trail t = straightTrail(Vector(0.5f, 0.5f, 0.0f), heading, count);
        TrailRib ribs[Trail::kLength];
        const int n = buildTrailRibs(t, 1, 1.0f, ribs);
        EXPECT_EQ(n, 68) << count;
        // Rib across the backwards direction (-sin, -cos): m = (cos h, -sin h).
        for (int r = 0; r < n; ++r) {
            const Vector across = (ribs[r].right - ribs[r].left) * 0.5f;
            EXPECT_NEAR(across.x, std::cos(heading) * 0.0175f, 1e-5f) << count << " rib " << r;
            EXPECT_NEAR(across.y, -std::sin(heading) * 0.0175f, 1e-5f) << count << " rib " << r;
        }
        // The last rib sits on the oldest point still held, 68 steps behind.
        const Vector oldest = (ribs[n - 1].left + ribs[n - 1].right) * 0.5f;
        EXPECT_NEAR(oldest.y, 0.5f - 68 * 0.0075f * std::cos(heading), 1e-4f) << count;
    }
    // Short trails use every point they have; one point draws nothing.
    Trail shortTrail = straightTrail(Vector(0.5f, 0.5f, 0.0f), 0.0f, 10);
    TrailRib ribs[Trail::kLength];
    EXPECT_EQ(buildTrailRibs(shortTrail, 0, 1.0f, ribs), 9);
    const Vector across = (ribs[0].right - ribs[0].left) * 0.5f;
    EXPECT_NEAR(across.x, 0.01f, 1e-6f); // even trails are narrower
    Trail single = straightTrail(Vector(0.5f, 0.5f, 0.0f), 0.0f, 1);
    EXPECT_EQ(buildTrailRibs(single, 0, 1.0f, ribs), 0);
}

TEST(DanceTrails, AlphaIsZeroAtBothEndsAndLargestInTheMiddle) {
    const int n = 69;
    EXPECT_EQ(trailAlpha(0, n, 1.0f), 0);
    EXPECT_EQ(trailAlpha(n, n, 1.0f), 0);
    int peak = 0, firstPeak = 0, lastPeak = 0;
    for (int j = 0; j <= n; ++j) {
        const int alpha = trailAlpha(j, n, 1.0f);
        if (alpha > peak) {
            peak = alpha;
            firstPeak = j;
        }
        if (alpha == peak) lastPeak = j;
    }
    EXPECT_EQ(peak, 25);                     // a tenth of full opacity
    EXPECT_NEAR(firstPeak + lastPeak, n, 1); // the opaque stretch is centred
    for (int j = 1; j < n / 2 - 10; ++j) EXPECT_LE(trailAlpha(j, n, 1.0f), trailAlpha(j + 1, n, 1.0f)) << j;
    for (int j = n / 2 + 10; j < n; ++j) EXPECT_GE(trailAlpha(j, n, 1.0f), trailAlpha(j + 1, n, 1.0f)) << j;
    EXPECT_LT(trailAlpha(1, n, 1.0f), 5);
    // The fade scales it; faded out the trail is invisible.
    EXPECT_EQ(trailAlpha(n / 2, n, 0.0f), 0);
    EXPECT_NEAR(trailAlpha(n / 2, n, 0.5f), 12, 1);

    Trail t = straightTrail(Vector(0.5f, 0.5f, 0.0f), 0.0f, 300);
    TrailRib ribs[Trail::kLength];
    const int ribCount = buildTrailRibs(t, 0, 1.0f, ribs);
    EXPECT_LT(ribs[0].alpha, 5);
    EXPECT_LT(ribs[ribCount - 1].alpha, 5);
    EXPECT_EQ(ribs[ribCount / 2].alpha, 25);
}

TEST(DanceSection, FirstFrameLatchesTheSectionAndTheSecondComesCloser) {
    EXPECT_EQ(danceSectionOfBeat(192), 24); // the effect's first beat
    EXPECT_EQ(danceSectionOfBeat(194), 24);
    EXPECT_EQ(danceSectionOfBeat(195), 25);
    EXPECT_EQ(danceSectionOfBeat(203), 26);

    g_danceFirstSection = 0;
    updateDanceSection(24);
    EXPECT_EQ(g_danceFirstSection, 24);
    EXPECT_EQ(g_danceSection, 0);
    updateDanceSection(25);
    EXPECT_EQ(g_danceFirstSection, 24);
    EXPECT_EQ(g_danceSection, 1);

    for (float position : {0.05f, 0.3f, 0.7f}) {
        const Vector3 far = danceEye(25, 0, position);
        const Vector3 near = danceEye(25, 1, position);
        EXPECT_NEAR(near.x, 0.76f * far.x, 1e-5f);
        EXPECT_NEAR(near.z, 0.76f * far.z, 1e-5f);
        EXPECT_EQ(near.y, near.z); // the eye is as high as it is deep
        EXPECT_EQ(far.y, far.z);
        EXPECT_EQ(danceEye(26, 2, position).x, danceEye(26, 0, position).x);
    }
    // Each section looks from its own side; the same section from the same one.
    EXPECT_NE(danceEye(25, 0, 0.3f).x, danceEye(26, 0, 0.3f).x);
    EXPECT_EQ(danceEye(25, 0, 0.3f).x, danceEye(25, 0, 0.3f).x);
    // At position 0 the eye is 6 from the centre in the ground plane.
    const Vector3 start = danceEye(25, 0, 0.0f);
    EXPECT_NEAR(std::sqrt(start.x * start.x + start.z * start.z), 6.0f, 1e-4f);
}

TEST(DanceTiles, ShootOutAtTheStartAndRestOnTheSurfaceAfter) {
    const TileTransform out = danceTile(0, 0, 0.0f, 0.0f);
    EXPECT_FLOAT_EQ(out.z, 1.475f);
    EXPECT_FLOAT_EQ(out.depthScale, 6.475f);
    const TileTransform half = danceTile(0, 0, 0.0125f, 0.0f);
    EXPECT_FLOAT_EQ(half.z, 1.175f);
    for (float q : {0.025f, 0.03f, 0.5f, 1.0f}) {
        const TileTransform rest = danceTile(3, 1, q, 0.0f);
        EXPECT_FLOAT_EQ(rest.z, 0.875f) << q;
        EXPECT_FLOAT_EQ(rest.depthScale, 0.475f) << q;
    }
    // Resting tiles stand just proud of the body's side (model half-size 0.5
    // scaled by 2.2) and cover it in a 4 x 4 grid at 0.5 spacing.
    const TileTransform rest = danceTile(0, 0, 0.5f, 0.0f);
    EXPECT_GT(rest.z + 0.5f * rest.depthScale, 0.5f * 2.2f);
    EXPECT_LT(rest.z - 0.5f * rest.depthScale, 0.5f * 2.2f);
    std::set<float> xs, ys;
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column) {
            xs.insert(danceTile(row, column, 0.5f, 0.0f).x);
            ys.insert(danceTile(row, column, 0.5f, 0.0f).y);
        }
    EXPECT_EQ(xs, (std::set<float>{-0.75f, -0.25f, 0.25f, 0.75f}));
    EXPECT_EQ(ys, (std::set<float>{-0.75f, -0.25f, 0.25f, 0.75f}));
    // A pulse lifts the tile and stretches it a little.
    const TileTransform pulsed = danceTile(0, 0, 0.5f, 0.5f);
    EXPECT_FLOAT_EQ(pulsed.z, 1.375f);
    EXPECT_FLOAT_EQ(pulsed.depthScale, 0.625f);
}

TEST(DoorsRules, SectionsPatternsAndLeafCounts) {
    EXPECT_EQ(doorsSectionOfBeat(192), 24);
    EXPECT_EQ(doorsSectionOfBeat(198), 24);
    EXPECT_EQ(doorsSectionOfBeat(199), 25);
    EXPECT_EQ(doorsPattern(24), 0);
    EXPECT_EQ(doorsPattern(25), 1);
    EXPECT_EQ(doorsPattern(26), 2);
    EXPECT_EQ(doorsPattern(27), 3);
    EXPECT_EQ(doorsPattern(28), 0);
    EXPECT_EQ(doorLeafCount(0), 5);
    EXPECT_EQ(doorLeafCount(1), 5);
    EXPECT_EQ(doorLeafCount(2), 5);
    EXPECT_EQ(doorLeafCount(3), 6);
}
