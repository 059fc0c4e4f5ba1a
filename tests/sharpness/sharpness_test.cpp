// The sharpness scorer: Laplacian magnitudes worked by hand, the sharpest
// tenth of the tiles against the whole frame, and which frames form a soft run.
#include <gtest/gtest.h>

#include <vector>

#include "Sharpness.h"

using sharpness::frameScore;
using sharpness::Score;

namespace {

// A grey picture of w x h with one bright pixel at (x, y).
std::vector<unsigned char> dot(int w, int h, int x, int y, unsigned char v) {
    std::vector<unsigned char> p(static_cast<size_t>(w) * h, 0);
    p[static_cast<size_t>(y) * w + x] = v;
    return p;
}

} // namespace

TEST(SharpnessScore, LaplacianOfADotAndOfFlatAndTinyPictures) {
    // A dot of 100 in a 5x5 grey field: |L| = 400 at the dot, 100 at its four
    // neighbours, 0 elsewhere; 9 inner pixels, so the overall mean is 800/9.
    const std::vector<unsigned char> p = dot(5, 5, 2, 2, 100);
    EXPECT_NEAR(frameScore(p.data(), 5, 5, 1).overall, 800.0 / 9.0, 1e-9);
    EXPECT_EQ(frameScore(p.data(), 5, 5, 1).peak, 0.0) << "no whole tile";
    const std::vector<unsigned char> flat(16 * 16 * 3, 200);
    EXPECT_EQ(frameScore(flat.data(), 16, 16, 3).overall, 0.0);
    EXPECT_EQ(frameScore(nullptr, 2, 2, 1).overall, 0.0);
    // Colour is weighed as luma: pure blue counts far less than pure green.
    std::vector<unsigned char> green(5 * 5 * 3, 0), blue(5 * 5 * 3, 0);
    green[(2 * 5 + 2) * 3 + 1] = 100;
    blue[(2 * 5 + 2) * 3 + 2] = 100;
    EXPECT_GT(frameScore(green.data(), 5, 5, 3).overall, 5.0 * frameScore(blue.data(), 5, 5, 3).overall);
}

TEST(SharpnessScore, PeakIsTheSharpestTenthOfTilesWhereTheMeanIsDiluted) {
    // 160x32: 20 tiles, so the tenth is 2 tiles. One dot inside tile (3, 0)
    // and one inside tile (7, 1): each tile holds 400 + 4 x 100 over its inner
    // 16 x 15 pixels (both tile rows touch the picture's top or bottom row).
    std::vector<unsigned char> p(160 * 32, 0);
    p[8 * 160 + 56] = 100;
    p[24 * 160 + 120] = 100;
    const Score s = frameScore(p.data(), 160, 32, 1);
    EXPECT_NEAR(s.peak, 800.0 / 240.0, 1e-9);
    EXPECT_NEAR(s.overall, 1600.0 / (158.0 * 30.0), 1e-9);
    // A border tile averages over its inner pixels only: a dot at (1, 1) puts
    // 400 + 2 x 100 inside tile (0, 0), whose inner part is 15 x 15, and its
    // two outer neighbours are not inner pixels.
    std::vector<unsigned char> q(160 * 32, 0);
    q[1 * 160 + 1] = 100;
    EXPECT_NEAR(frameScore(q.data(), 160, 32, 1).peak, 600.0 / 225.0 / 2.0, 1e-9);
}

TEST(SharpnessRuns, ConsecutiveSoftFramesFormOneRun) {
    const std::vector<Score> scores = {{1.0, 0.0}, {2.0, 0.0}, {9.0, 0.0}, {6.0, 0.0},
                                       {5.9, 0.0}, {0.0, 0.0}, {7.0, 0.0}, {3.0, 0.0}};
    const std::vector<sharpness::Run> runs = sharpness::softRuns(scores, 6.0);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].first, 0);
    EXPECT_EQ(runs[0].last, 1);
    EXPECT_EQ(runs[1].first, 4); // 6.0 is not below the threshold
    EXPECT_EQ(runs[1].length(), 2);
    EXPECT_EQ(runs[2].first, 7);
    EXPECT_EQ(runs[2].last, 7);
    EXPECT_TRUE(sharpness::softRuns({}, 6.0).empty());
}
