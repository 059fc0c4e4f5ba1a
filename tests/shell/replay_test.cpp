// Every frame reachable: the replay plans, and the real program's shots and
// captures compared byte for byte with captures from well before (the
// program runs as a child process, once per output, as a person runs it).
#include "shell/Replay.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

std::vector<TimelineSpan> spans() { return timelineSpans(programmeBeatClock()); }

TEST(ReplayPlan, StartsAtTheSpanLessTheAnalysersSettlingTimeOnTheFrameGrid)
{
    // 40000 ms lies in Plates (16668..57875): replay from 13668 ms, which at
    // 60 fps is frame 820.08, so from frame 820.
    ReplayPlan shot = planShotReplay(spans(), 40000.0f, 60);
    EXPECT_FLOAT_EQ(shot.firstFrame, 40000.0f);
    EXPECT_EQ(shot.frames, 2400 - 820);
    EXPECT_FLOAT_EQ(shot.clockFrom, 820 * 1000.0f / 60.0f);

    // A capture from an off-grid time begins at the next frame of the grid.
    ReplayPlan capture = planCaptureReplay(spans(), 16668.0f, 60);
    EXPECT_FLOAT_EQ(capture.firstFrame, 1001 * 1000.0f / 60.0f);
    EXPECT_EQ(capture.frames, 1001 - 820);

    // Near the start there is nothing to replay before 0.
    ReplayPlan early = planCaptureReplay(spans(), 2000.0f, 10);
    EXPECT_EQ(early.frames, 20);
    EXPECT_FLOAT_EQ(early.clockFrom, 0.0f);
    EXPECT_EQ(planCaptureReplay(spans(), 0.0f, 60).frames, 0);
}

TEST(ReplayPlan, AnOffGridShotIsDrawnAtItsOwnTime)
{
    ReplayPlan plan = planShotReplay(spans(), 5001.0f, 60);
    EXPECT_NEAR(plan.clockFrom + plan.frames * 1000.0 / 60.0, 5001.0, 1e-3);
    EXPECT_GE(plan.clockFrom, 0.0f);
    EXPECT_LT(plan.clockFrom, 1000.0f / 60.0f);
}

std::vector<char> readFile(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::vector<char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

int run(const std::string& arguments)
{
    std::string command = std::string(ZEPHRAN_EXE) + " --headless --size 96x54 " + arguments + " 2>/dev/null";
    return std::system(command.c_str());
}

// For each case: a capture from well before (covering the time at 10 fps)
// and a shot at the time must give the same PNG, and a capture starting a
// little before the time must give the same frames as the long capture.
struct Reach {
    const char* what;
    int captureFrom;   // ms, well before the effect holding state
    int time;          // ms, a frame of the 10 fps grid
};

const Reach kReaches[] = {
    {"Logo, after its flares have risen", 0, 9000},
};

class Reachable : public ::testing::TestWithParam<Reach> {};

TEST_P(Reachable, ShotAndLateCaptureDrawTheFrameOfACaptureFromBefore)
{
    const Reach& r = GetParam();
    const fs::path dir = fs::temp_directory_path() / ("zephran-reach-" + std::to_string(r.time));
    fs::remove_all(dir);
    ASSERT_EQ(run("--fps 10 --from " + std::to_string(r.captureFrom) + " --to " + std::to_string(r.time + 150) +
                  " --capture " + (dir / "long").string()),
              0);
    ASSERT_EQ(run("--fps 10 --shot " + std::to_string(r.time) + " " + (dir / "shot.png").string()), 0);
    ASSERT_EQ(run("--fps 10 --from " + std::to_string(r.time - 100) + " --to " + std::to_string(r.time + 150) +
                  " --capture " + (dir / "late").string()),
              0);
    auto longFrame = [&](int ms) {
        char name[32];
        std::snprintf(name, sizeof name, "frame_%06d.png", (ms - r.captureFrom) / 100);
        return dir / "long" / name;
    };
    const std::vector<char> expected = readFile(longFrame(r.time));
    ASSERT_FALSE(expected.empty()) << r.what;
    EXPECT_TRUE(readFile(dir / "shot.png") == expected) << r.what << ": the shot differs";
    for (int i = 0; i < 3; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "frame_%06d.png", i);
        EXPECT_TRUE(readFile(dir / "late" / name) == readFile(longFrame(r.time - 100 + 100 * i)))
            << r.what << ": frame " << i << " of the late capture differs";
    }
    fs::remove_all(dir);
}

INSTANTIATE_TEST_SUITE_P(Programme, Reachable, ::testing::ValuesIn(kReaches),
                         [](const ::testing::TestParamInfo<Reach>& info) { return "At" + std::to_string(info.param.time); });

} // namespace
