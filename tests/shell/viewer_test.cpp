// The viewer's controls through injected keys on a fixed clock: pause and
// frame steps, effect and bar jumps, the effect loop, the programme loop and
// the overlay, which only interactive runs draw.
#include "shell/FrameLoop.h"
#include "shell/Programme.h"
#include "shell/TimelineOverlay.h"
#include "shell/Viewer.h"
#include "tests/support/HeadlessGL.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <filesystem>

namespace {

class ViewerTest : public ::testing::Test {
protected:
    void start(float fromMs, int fps, bool loopProgramme = false, int size = 32) {
        StmRunOptions options;
        options.fixedFps = fps;
        options.fixedFrom = fromMs;
        ASSERT_NO_FATAL_FAILURE(headless::openWindow(size, size, options));
        stmInitTimer();
        viewer.reset(new Viewer(timelineSpans(clock), clock, loopProgramme));
        loop.viewer = viewer.get();
    }
    void TearDown() override {
        for (int key = 0; key < 256; ++key) stmInjectKey(key, false);
        stmPause(false);
        stmShutDown();
    }
    // One frame with `key` down, then one with it up: a tap.
    void tap(int key) {
        stmInjectKey(key, true);
        loop.frame();
        stmInjectKey(key, false);
        loop.frame();
    }
    BeatClock clock{129.5f, 350};
    std::unique_ptr<Viewer> viewer;
    FrameLoop loop;
};

TEST_F(ViewerTest, PauseHoldsTheClockAndFrameStepsMoveExactlyOneFrame) {
    start(30000.0f, 60);
    loop.frame();
    stmInjectKey(kKeySpace, true);
    loop.frame();
    stmInjectKey(kKeySpace, false);
    const float paused = stmGetTime();
    for (int i = 0; i < 20; ++i) loop.frame();
    EXPECT_TRUE(stmIsPaused());
    EXPECT_FLOAT_EQ(stmGetTime(), paused);
    EXPECT_FLOAT_EQ(stmGetDeltaTime(), 0.0f);

    tap(kKeyPeriod);
    EXPECT_NEAR(stmGetTime(), paused + kFrameStepMs, 1e-3f);
    tap(kKeyPeriod);
    tap(kKeyComma);
    EXPECT_NEAR(stmGetTime(), paused + kFrameStepMs, 1e-3f);

    // Steps do nothing while playing; resuming goes on from the paused time.
    tap(kKeySpace);
    EXPECT_FALSE(stmIsPaused());
    const float resumed = stmGetTime();
    EXPECT_NEAR(resumed, paused + kFrameStepMs + 1000.0f / 60.0f, 0.01f); // the step, then one frame
    stmInjectKey(kKeyPeriod, true);
    loop.frame();
    EXPECT_NEAR(stmGetTime(), resumed + 1000.0f / 60.0f, 1e-3f);
}

TEST_F(ViewerTest, EffectJumpsLandOnTheTimelineBoundaries) {
    start(20000.0f, 50);
    loop.frame();
    stmInjectKey(kKeyPageUp, true);
    loop.frame();
    EXPECT_FLOAT_EQ(stmGetTime(), 57875.0f);
    loop.frame(); // held: one jump per press
    EXPECT_FLOAT_EQ(stmGetTime(), 57895.0f);
    stmInjectKey(kKeyPageUp, false);
    stmInjectKey(kKeyPageDown, true);
    loop.frame();
    EXPECT_FLOAT_EQ(stmGetTime(), 16668.0f); // the effect before Plates2 begins there

    std::vector<TimelineSpan> spans = timelineSpans(clock);
    EXPECT_FLOAT_EQ(nextEffectStart(spans, 95000.0f), 118991.0f); // DanceCube and Doors share a start
    EXPECT_FLOAT_EQ(previousEffectStart(spans, 95000.0f), 57875.0f);
    EXPECT_FLOAT_EQ(previousEffectStart(spans, 5000.0f), 0.0f);
    EXPECT_FLOAT_EQ(nextEffectStart(spans, 200000.0f), 200000.0f); // nothing follows the last
}

TEST_F(ViewerTest, BarJumpsLandOnBarLines) {
    start(20000.0f, 50);
    loop.frame();
    tap(kKeyBracketRight);
    // Bar 11 begins at beat 44: 44 * 463320 us - 350 us, truncated to ms.
    EXPECT_EQ(clock.beatTime(44), 20385);
    EXPECT_FLOAT_EQ(stmGetTime(), 20385.0f + 20.0f); // the jump, then one frame
    for (int i = 0; i < 20; ++i) loop.frame();
    stmInjectKey(kKeyBracketLeft, true);
    loop.frame();
    EXPECT_FLOAT_EQ(stmGetTime(), 20385.0f); // well into a bar: back to its line...
    stmInjectKey(kKeyBracketLeft, false);
    loop.frame();
    tap(kKeyBracketLeft);
    EXPECT_FLOAT_EQ(stmGetTime(), float(clock.beatTime(40)) + 20.0f); // ...and a second tap one bar further

    EXPECT_FLOAT_EQ(nextBarLine(clock, 0.0f), float(clock.beatTime(4)));
    EXPECT_FLOAT_EQ(previousBarLine(clock, 100.0f), 0.0f);
}

TEST_F(ViewerTest, EffectLoopWrapsAtItsEndAndLetsGoOnTheSecondPress) {
    start(16000.0f, 50);
    tap(kKeyL);
    EXPECT_TRUE(viewer->loopingSpan());
    EXPECT_FLOAT_EQ(viewer->loopEnd(), 16668.0f);
    float latest = 0.0f;
    bool wrapped = false;
    for (int i = 0; i < 40; ++i) {
        loop.frame();
        EXPECT_LT(stmGetTime(), 16668.0f); // no frame past the span is drawn
        wrapped = wrapped || stmGetTime() < latest;
        latest = stmGetTime();
    }
    EXPECT_TRUE(wrapped);
    tap(kKeyL);
    EXPECT_FALSE(viewer->loopingSpan());
}

TEST_F(ViewerTest, ProgrammeLoopStartsAgainInsteadOfEnding) {
    start(225450.0f, 20, true);
    for (int i = 0; i < 5; ++i) loop.frame();
    EXPECT_FALSE(loop.quit);
    EXPECT_LT(stmGetTime(), 1000.0f);
}

TEST_F(ViewerTest, EscapeWhilePausedStillFadesOut) {
    start(1000.0f, 20);
    tap(kKeySpace);
    ASSERT_TRUE(stmIsPaused());
    stmInjectKey(27, true);
    int frames = 0;
    while (!loop.quit && frames < 100) {
        loop.frame();
        ++frames;
    }
    EXPECT_LT(frames, 30);
}

TEST_F(ViewerTest, TabShowsTheOverlayOverTheBottomOfThePicture) {
    start(30000.0f, 50, false, 64);
    auto bottomRow = [] {
        std::vector<unsigned char> row(64 * 4);
        glReadPixels(0, 2, 64, 1, GL_RGBA, GL_UNSIGNED_BYTE, row.data());
        return row;
    };
    loop.frame();
    std::vector<unsigned char> plain = bottomRow();
    tap(kKeyTab);
    EXPECT_TRUE(viewer->overlayOpen());
    EXPECT_NE(bottomRow(), plain);
    tap(kKeyTab);
    EXPECT_EQ(bottomRow(), plain);

    OverlayState state;
    state.time = 100000.0f;
    state.paused = true;
    std::string line = overlayStatusLine(timelineSpans(clock), clock, state);
    EXPECT_NE(line.find("100.000 s"), std::string::npos) << line;
    EXPECT_NE(line.find("collada5+collada6"), std::string::npos) << line;
    EXPECT_NE(line.find("PAUSED"), std::string::npos) << line;
}

TEST(ViewerCapture, OnlyRunsShownToAPersonGetTheControls) {
    ShellOptions window, capture, shot, bench;
    capture.capture = "frames";
    shot.shot = true;
    bench.benchmark = true;
    EXPECT_TRUE(viewerControls(window));
    EXPECT_FALSE(viewerControls(capture));
    EXPECT_FALSE(viewerControls(shot));
    EXPECT_FALSE(viewerControls(bench));
}

TEST(ViewerCapture, ACaptureIgnoresTheViewersKeys) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / "zephran-viewer-capture";
    fs::remove_all(dir);
    // Held throughout: with the controls, the overlay would cover the frames
    // and Page Up would jump past the range after the first frame.
    stmInjectKey(kKeyTab, true);
    stmInjectKey(kKeyPageUp, true);
    ShellOptions o;
    o.headless = true;
    o.width = 48;
    o.height = 27;
    o.capture = dir.string();
    o.fps = 20;
    o.from = 1000.0f;
    o.to = 1100.0f;
    EXPECT_EQ(runProgramme(o), 0);
    stmInjectKey(kKeyTab, false);
    stmInjectKey(kKeyPageUp, false);
    EXPECT_TRUE(fs::exists(dir / "frame_000000.png"));
    EXPECT_TRUE(fs::exists(dir / "frame_000001.png"));
    EXPECT_FALSE(fs::exists(dir / "frame_000002.png"));
    fs::remove_all(dir);
}

} // namespace
