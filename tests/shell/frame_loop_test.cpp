// The frame loop on a scripted (fixed) clock with injected keys: the closing
// fade, window close, F1 seeking with its volume rule and the programme's end.
#include "shell/FrameLoop.h"
#include "shell/Programme.h"
#include "tests/support/HeadlessGL.h"

#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

enum { kEscape = 27, kF1 = 112, kLeft = 37, kRight = 39 };

class FrameLoopTest : public ::testing::Test {
protected:
    // A headless 32x32 window whose clock starts at `fromMs` and advances
    // 1000 / fps ms per frame.
    void start(float fromMs, int fps) {
        StmRunOptions options;
        options.fixedFps = fps;
        options.fixedFrom = fromMs;
        ASSERT_NO_FATAL_FAILURE(headless::openWindow(32, 32, options));
        stmInitTimer();
    }
    void TearDown() override {
        for (int key : {kEscape, kF1, kLeft, kRight}) stmInjectKey(key, false);
        stmShutDown();
    }
    // Frames drawn until the loop quits (limit + 1 if it never does).
    int framesUntilQuit(int limit, bool holdEscape = false) {
        int frames = 0;
        while (!loop.quit && frames <= limit) {
            stmInjectKey(kEscape, holdEscape);
            loop.frame();
            ++frames;
        }
        return frames;
    }
    FrameLoop loop;
};

TEST_F(FrameLoopTest, EscapeFadesOverItsLengthAndHoldingItDoesNotLengthenIt) {
    start(1000.0f, 20); // 50 ms frames: 1.15 s is 23 frames
    stmInjectKey(kEscape, true);
    loop.frame();
    stmInjectKey(kEscape, false);
    EXPECT_GT(loop.fadeRemaining, 0.0f);
    int once = 1 + framesUntilQuit(100);
    EXPECT_GE(once, 23);
    EXPECT_LE(once, 24);
    EXPECT_LT(stmGetVolume(), 1e-4f);

    stmShutDown();
    loop = FrameLoop();
    start(1000.0f, 20);
    int held = framesUntilQuit(100, true);
    EXPECT_EQ(held, once);
}

TEST_F(FrameLoopTest, ClosingTheWindowFadesLikeEscape) {
    start(0.0f, 20);
    loop.frame();
    stmInjectQuit();
    loop.frame();
    EXPECT_FALSE(loop.quit);
    EXPECT_GT(loop.fadeRemaining, 0.0f);
    stmInjectQuit(); // a second close during the fade changes nothing
    int frames = 1 + framesUntilQuit(100);
    EXPECT_GE(frames, 23);
    EXPECT_LE(frames, 24);
}

TEST_F(FrameLoopTest, FadeOverlayAndVolumeFollowTheEasedCurve) {
    start(0.0f, 20);
    stmUpdateTimer(); // a 50 ms frame
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    float remaining = 0.575f; // halfway: v = (1 - cos(pi/4))^2 = 0.0858
    EXPECT_FALSE(fadeOut(remaining));
    EXPECT_NEAR(remaining, 0.525f, 1e-6f);
    EXPECT_NEAR(stmGetVolume(), 0.0858f, 1e-3f);
    unsigned char pixel[4];
    glReadPixels(16, 16, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_NEAR(pixel[0], 22, 2); // white covered by black at alpha 1 - v

    remaining = 1.15f; // the fade's first frame leaves the picture and music
    fadeOut(remaining);
    EXPECT_FLOAT_EQ(stmGetVolume(), 1.0f);
    remaining = 0.04f;
    EXPECT_TRUE(fadeOut(remaining));
}

TEST_F(FrameLoopTest, SeekingBackFiveFramesMutesUntilF1Alone) {
    start(20000.0f, 50);
    loop.frame();
    float before = stmGetTime();
    stmInjectKey(kF1, true);
    stmInjectKey(kLeft, true);
    for (int i = 0; i < 5; ++i) loop.frame();
    // Five seeks of -1000 ms, plus four 20 ms frame steps after the first.
    EXPECT_NEAR(stmGetTime(), before + 5 * 20.0f - 5000.0f, 0.01f);
    EXPECT_EQ(loop.seekDirection, -1);
    EXPECT_FLOAT_EQ(stmGetVolume(), 0.0f);

    stmInjectKey(kLeft, false);
    loop.frame(); // F1 alone ends the seek
    EXPECT_FLOAT_EQ(stmGetVolume(), 1.0f);
    EXPECT_EQ(loop.seekDirection, 0);
    EXPECT_FALSE(loop.quit);
}

// A tap shorter than a frame: both keyboard events wait in the queue when the
// next frame begins. That frame still sees the key; the one after does not.
TEST_F(FrameLoopTest, AKeyTappedBetweenTwoFramesIsSeenByTheNext) {
    start(1000.0f, 20);
    loop.frame();
    for (Uint32 type : {SDL_KEYDOWN, SDL_KEYUP}) {
        SDL_Event event = {};
        event.type = type;
        event.key.keysym.sym = SDLK_ESCAPE;
        SDL_PushEvent(&event);
    }
    loop.frame();
    EXPECT_GT(loop.fadeRemaining, 0.0f);
    EXPECT_FALSE(stmGetKey(kEscape));

    loop.frame();
    EXPECT_FALSE(stmGetKey(kEscape));
}

TEST_F(FrameLoopTest, LettingGoOfF1BeforeTheArrowStillRestoresTheMusic) {
    start(20000.0f, 50);
    stmInjectKey(kF1, true);
    stmInjectKey(kRight, true);
    loop.frame();
    EXPECT_FLOAT_EQ(stmGetVolume(), 0.0f);
    stmInjectKey(kF1, false); // the arrow is still held
    loop.frame();
    EXPECT_FLOAT_EQ(stmGetVolume(), 1.0f);
    EXPECT_EQ(loop.seekDirection, 0);
    float t = stmGetTime();
    loop.frame(); // the arrow alone does not seek
    EXPECT_NEAR(stmGetTime(), t + 20.0f, 0.01f);
}

TEST_F(FrameLoopTest, SeekingNeverGoesBelowZero) {
    start(500.0f, 50);
    stmInjectKey(kF1, true);
    stmInjectKey(kLeft, true);
    loop.frame();
    EXPECT_FLOAT_EQ(stmGetTime(), 0.0f);
}

TEST_F(FrameLoopTest, SeekingPastTheEndQuitsAtOnceWithoutFade) {
    start(225000.0f, 50);
    stmInjectKey(kF1, true);
    stmInjectKey(kRight, true);
    loop.frame();
    EXPECT_TRUE(loop.quit);
    EXPECT_FLOAT_EQ(loop.fadeRemaining, 0.0f);
}

TEST_F(FrameLoopTest, TheProgrammeEndsOnTheFirstFrameAfter225500) {
    start(225400.0f, 10);
    loop.frame(); // 225400
    loop.frame(); // 225500: not past the end yet
    EXPECT_FALSE(loop.quit);
    loop.frame(); // 225600
    EXPECT_TRUE(loop.quit);
}

TEST(RunGuarded, LogsThrownMessagesAndStandardExceptions) {
    testing::internal::CaptureStderr();
    EXPECT_FALSE(runGuarded([] { throw "SceneManager::create(): Memory allocation error"; }));
    EXPECT_FALSE(runGuarded([] { throw std::runtime_error("bad thing"); }));
    EXPECT_TRUE(runGuarded([] {}));
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("Exception: SceneManager::create(): Memory allocation error\n"), std::string::npos);
    EXPECT_NE(log.find("Exception: bad thing\n"), std::string::npos);
}

} // namespace
