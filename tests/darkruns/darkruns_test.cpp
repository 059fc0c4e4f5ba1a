// The dark-run checker's two judgements: how bright a frame is, whatever its
// channel layout, and which frames form one dark run.
#include <gtest/gtest.h>

#include <vector>

#include "DarkRuns.h"

using darkruns::findDarkRuns;
using darkruns::frameLevel;
using darkruns::Level;

TEST(DarkRunsLevel, LumaOfColourPixelsAlphaIgnoredGreyAsIs) {
    const unsigned char white[] = {255, 255, 255, 0, 255, 255, 255, 0};
    EXPECT_NEAR(frameLevel(white, 2, 1, 4).mean, 255.0, 1e-9);
    // Pure green is far brighter than pure blue of the same value.
    const unsigned char green[] = {0, 200, 0}, blue[] = {0, 0, 200};
    EXPECT_GT(frameLevel(green, 1, 1, 3).mean, 5.0 * frameLevel(blue, 1, 1, 3).mean);
    const unsigned char half[] = {0, 0, 0, 255, 255, 255}; // one black, one white RGB pixel
    EXPECT_NEAR(frameLevel(half, 2, 1, 3).mean, 127.5, 1e-9);
    EXPECT_NEAR(frameLevel(half, 2, 1, 3).peak, 255.0, 1e-9);
    const unsigned char grey[] = {10, 255, 30, 255}; // grey + alpha
    EXPECT_NEAR(frameLevel(grey, 2, 1, 2).mean, 20.0, 1e-9);
    EXPECT_NEAR(frameLevel(grey, 2, 1, 2).peak, 30.0, 1e-9);
    EXPECT_EQ(frameLevel(nullptr, 0, 0, 3).mean, 0.0);
}

TEST(DarkRunsRuns, ConsecutiveDarkFramesFormOneRunWithItsDarkestMeanAndBlankCount) {
    const std::vector<Level> levels = {{0.0, 0.0},   {1.0, 3.0},  {50.0, 200.0}, {7.9, 9.0},    {8.0, 255.0},
                                       {3.0, 240.0}, {2.0, 40.0}, {1.5, 2.0},    {90.0, 255.0}, {0.5, 1.0}};
    const std::vector<darkruns::Run> runs = findDarkRuns(levels, 8.0, 32.0);
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0].first, 0);
    EXPECT_EQ(runs[0].last, 1);
    EXPECT_EQ(runs[0].darkest, 0.0);
    EXPECT_EQ(runs[0].blank, 2);
    EXPECT_EQ(runs[1].first, 3); // 8.0 is not below the threshold: it splits
    EXPECT_EQ(runs[1].last, 3);
    EXPECT_EQ(runs[2].first, 5);
    EXPECT_EQ(runs[2].last, 7);
    EXPECT_EQ(runs[2].length(), 3);
    EXPECT_EQ(runs[2].darkest, 1.5);
    EXPECT_EQ(runs[2].blank, 1); // type on black (240, 40) is dark, not blank
    EXPECT_EQ(runs[3].first, 9); // a run reaching the last frame is closed too
    EXPECT_EQ(runs[3].last, 9);

    EXPECT_TRUE(findDarkRuns({}, 8.0, 32.0).empty());
    EXPECT_TRUE(findDarkRuns({{20.0, 90.0}, {30.0, 90.0}}, 8.0, 32.0).empty());
    const std::vector<darkruns::Run> all = findDarkRuns({{1.0, 1.0}, {2.0, 2.0}, {3.0, 3.0}}, 8.0, 32.0);
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].length(), 3);
    EXPECT_EQ(all[0].blank, 3);
}
