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

TEST(ReplayPlan, LatchingSpansReplayTheirFirstFrameAndTheAnalysersSettlingTime) {
    // 40000 ms lies in Plates (16668..57875), which only latches: its first
    // frame at 60 fps is frame 1001 (16683.3 ms), then the 3 s before 40000.
    ReplayPlan shot = planShotReplay(spans(), 40000.0f, 60);
    EXPECT_FLOAT_EQ(shot.firstFrame, 40000.0f);
    EXPECT_EQ(shot.first, 2400);
    ASSERT_EQ(shot.replay.size(), 2u);
    EXPECT_EQ(shot.replay[0].begin, 1001);
    EXPECT_EQ(shot.replay[0].end, 1002);
    EXPECT_EQ(shot.replay[1].begin, 2220);
    EXPECT_EQ(shot.replay[1].end, 2400);
    EXPECT_FLOAT_EQ(shot.clockFrom, 0.0f);

    // A capture from an off-grid time begins at the next frame of the grid.
    ReplayPlan capture = planCaptureReplay(spans(), 16668.0f, 60);
    EXPECT_EQ(capture.first, 1001);
    EXPECT_FLOAT_EQ(capture.firstFrame, 1001 * 1000.0f / 60.0f);
    EXPECT_EQ(capture.replayed(), 1001 - 821); // 3 s before it; it is Plates' own first frame

    // Near the start there is nothing before 0; from 0 nothing at all.
    EXPECT_EQ(planCaptureReplay(spans(), 2000.0f, 10).replayed(), 20);
    EXPECT_EQ(planCaptureReplay(spans(), 0.0f, 60).replayed(), 0);
}

TEST(ReplayPlan, SteppingSpansReplayEveryFrameFromTheirStart) {
    // 100000 ms: DanceCube (steps its trails) and Doors (latches) share
    // 89359..118991; everything from 86359 ms is replayed, Doors' first
    // frame among it.
    ReplayPlan plan = planShotReplay(spans(), 100000.0f, 10);
    ASSERT_EQ(plan.replay.size(), 1u);
    EXPECT_EQ(plan.replay[0].begin, 864);
    EXPECT_EQ(plan.replay[0].end, 1000);
}

TEST(ReplayPlan, AnOffGridShotIsDrawnAtItsOwnTime) {
    ReplayPlan plan = planShotReplay(spans(), 5001.0f, 60);
    EXPECT_NEAR(plan.clockFrom + plan.first * 1000.0 / 60.0, 5001.0, 1e-3);
    EXPECT_GE(plan.clockFrom, 0.0f);
    EXPECT_LT(plan.clockFrom, 1000.0f / 60.0f);
    ASSERT_FALSE(plan.replay.empty());
    EXPECT_EQ(plan.replay.back().end, plan.first);
}

std::vector<char> readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::vector<char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

int run(const std::string& arguments) {
    std::string command = std::string(ZEPHRAN_EXE) + " --headless --size 96x54 " + arguments + " 2>/dev/null";
    return std::system(command.c_str());
}

// For each case: a capture from well before (covering the time at 5 fps)
// and a shot at the time must give the same PNG, and a capture starting a
// little before the time must give the same frames as the long capture.
// Each time lies inside an effect that carries state from frame to frame.
struct Reach {
    const char* what;
    int captureFrom; // ms, before the effect holding state (and its analyser lead-in)
    int time;        // ms, a frame of the 5 fps grid
};

const int kFps = 5;
const int kFrameMs = 1000 / kFps;

const Reach kReaches[] = {
    {"Logo, after its flares have risen", 0, 9000},
    {"Plates, section 2 (first-section latch, section camera)", 12000, 47000},
    {"Plates2 after 20 s (walkers stepped every frame)", 54000, 78000},
    {"DanceCube's second section and Doors after its first (trails, latches)", 86000, 94000},
    {"GrowingMotikka after 10 s (first-beat latch, shells)", 115000, 129000},
    {"SlicedSphere (slice matrices of the last draw)", 160000, 170000},
    {"ParticleFlower at a quiet passage after the breakdown (analyser peak)", 175000, 186000},
};

class Reachable : public ::testing::TestWithParam<Reach> {};

TEST_P(Reachable, ShotAndLateCaptureDrawTheFrameOfACaptureFromBefore) {
    const Reach& r = GetParam();
    const fs::path dir = fs::temp_directory_path() / ("zephran-reach-" + std::to_string(r.time));
    fs::remove_all(dir);
    const std::string fps = "--fps " + std::to_string(kFps);
    const std::string to = " --to " + std::to_string(r.time + kFrameMs + kFrameMs / 2);
    ASSERT_EQ(run(fps + " --from " + std::to_string(r.captureFrom) + to + " --capture " + (dir / "long").string()), 0);
    ASSERT_EQ(run(fps + " --shot " + std::to_string(r.time) + " " + (dir / "shot.png").string()), 0);
    ASSERT_EQ(run(fps + " --from " + std::to_string(r.time - kFrameMs) + to + " --capture " + (dir / "late").string()),
              0);
    auto longFrame = [&](int ms) {
        char name[32];
        std::snprintf(name, sizeof name, "frame_%06d.png", (ms - r.captureFrom) / kFrameMs);
        return dir / "long" / name;
    };
    const std::vector<char> expected = readFile(longFrame(r.time));
    ASSERT_FALSE(expected.empty()) << r.what;
    EXPECT_TRUE(readFile(dir / "shot.png") == expected) << r.what << ": the shot differs";
    for (int i = 0; i < 3; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "frame_%06d.png", i);
        EXPECT_TRUE(readFile(dir / "late" / name) == readFile(longFrame(r.time - kFrameMs + kFrameMs * i)))
            << r.what << ": frame " << i << " of the late capture differs";
    }
    fs::remove_all(dir);
}

INSTANTIATE_TEST_SUITE_P(Programme, Reachable, ::testing::ValuesIn(kReaches),
                         [](const ::testing::TestParamInfo<Reach>& info) {
                             return "At" + std::to_string(info.param.time);
                         });

} // namespace
