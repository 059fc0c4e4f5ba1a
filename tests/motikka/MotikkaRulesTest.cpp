// The rules of GrowingMotikka, SlicedSphere and the shared dust that need no
// GL: how many shells are drawn and how the newest grows on the beat, the
// end-of-effect "sync" ramp, which nodes are slices, and the back-to-front
// dust order from the origin an effect names.
#include <gtest/gtest.h>

#include <cmath>

#include "effects/Dust.h"
#include "effects/GrowingMotikka.h"
#include "effects/SlicedSphere.h"

namespace {

using stm::Vector;

TEST(GrowingMotikkaShells, NoShellInTheFirstBeatThenOneMorePerBeat) {
    EXPECT_EQ(motikkaShellCount(354, 354), 5) << "shells 5 .. 4: none";
    EXPECT_EQ(motikkaShellCount(355, 354), 6) << "one shell a beat later";
    EXPECT_EQ(motikkaShellCount(400, 354), 51);
    EXPECT_EQ(motikkaShellSpheres(5), 2);
    EXPECT_EQ(motikkaShellSpheres(8), 2);
    EXPECT_EQ(motikkaShellSpheres(9), 4);
    EXPECT_EQ(motikkaShellSpheres(17), 4);
    EXPECT_EQ(motikkaShellSpheres(18), 6);
}

TEST(GrowingMotikkaShells, NewestShellPopsFromNothingOlderShellsStay) {
    const float bounceEnd = 1.5f / std::sin(1.9707962f); // the bounce ends above 1: about 1.63
    // Shell 8 (divisible by 4) is elastic, shell 9 bounces; each the newest of count = shell + 1.
    for (int shell : {8, 9}) {
        const int count = shell + 1;
        EXPECT_FLOAT_EQ(motikkaShellScale(shell, count, 1.0f), 0.0f) << "on the beat the newest shell has no size";
        EXPECT_NEAR(motikkaShellScale(shell, count, 0.0f), shell == 8 ? 1.5f : bounceEnd, 1e-4f) << shell;
        const float midway = motikkaShellScale(shell, count, 0.5f);
        EXPECT_GT(midway, 0.5f) << "eased out: most of the size comes early in the beat";
        for (float phase : {1.0f, 0.7f, 0.0f}) EXPECT_FLOAT_EQ(motikkaShellScale(shell - 1, count, phase), 1.5f);
    }
}

TEST(GrowingMotikkaSync, ZeroUntilTheEndThenRampsWithTheLevel) {
    for (float position : {0.0f, 0.5f, 0.9f, 0.91f, 0.93f}) EXPECT_EQ(motikkaSync(position, 3.0f), 0.0f) << position;
    const float level = 2.0f;
    const float full = (level * 0.1f) * (level * 0.1f);
    EXPECT_NEAR(motikkaSync(0.945f, level), full * 0.25f, 1e-4f) << "half way up the ramp: q halved, sync quartered";
    EXPECT_FLOAT_EQ(motikkaSync(0.96f, level), full);
    EXPECT_FLOAT_EQ(motikkaSync(1.0f, level), full);
    EXPECT_EQ(motikkaSync(1.0f, 0.0f), 0.0f) << "silence gives no sync";
}

TEST(Dust, SortsFarthestFirstFromTheNamedOrigin) {
    DustParticle a{Vector(1, 0, 0), 0}, b{Vector(5, 0, 0), 1};
    const Vector origin(0, 0, 0);
    EXPECT_EQ(compareDust(a, b, origin), 1) << "b is farther: b first";
    EXPECT_EQ(compareDust(b, a, origin), -1);
    EXPECT_EQ(compareDust(a, a, origin), 0);

    DustParticle dust[6];
    const float xs[6] = {3, -7, 0.5f, 12, -1, 6};
    for (int i = 0; i < 6; ++i) dust[i] = DustParticle{Vector(xs[i], 0, 0), i};
    sortDust(dust, 6, origin);
    for (int i = 1; i < 6; ++i)
        EXPECT_GE(dust[i - 1].position.sqLength(), dust[i].position.sqLength()) << "back to front at " << i;
    EXPECT_EQ(dust[0].index, 3);

    // Measured from another point, the order changes: nearest to (12, 0, 0) is last.
    sortDust(dust, 6, Vector(12, 0, 0));
    EXPECT_EQ(dust[0].index, 1);
    EXPECT_EQ(dust[5].index, 3);
}

TEST(SlicedSphereSlices, NodesFourToTheOneBeforeLastAndNoneForFiveOrFewer) {
    for (unsigned count : {0u, 1u, 2u, 4u, 5u}) {
        const SliceRange r = sliceRange(count);
        EXPECT_GE(r.first, r.end) << count << " nodes: nothing to draw";
    }
    EXPECT_EQ(sliceRange(6).first, 4u);
    EXPECT_EQ(sliceRange(6).end, 5u) << "one slice: node 4; node 5 is the root";
    EXPECT_EQ(sliceRange(73).end - sliceRange(73).first, 68u) << "the archive's sphere: 68 slices";
}

} // namespace
