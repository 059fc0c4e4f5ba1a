// The scheduler (spans, layers, init order) and capture: the frame count for
// a time range and byte-identical frames for identical runs.
#include "TestData.h"

#include <GL/gl.h>

#include <filesystem>
#include <fstream>

namespace {

std::vector<std::string> g_calls;

// Records its calls; draws a colour that depends on the song time.
class Recorder : public stm::Base {
public:
    explicit Recorder(std::string n) : name(std::move(n)) {}
    bool init(unsigned long s, unsigned long e) override {
        g_calls.push_back("init " + name + " " + std::to_string(s) + ".." + std::to_string(e));
        return Base::init(s, e);
    }
    void draw() override {
        g_calls.push_back("draw " + name + " " + std::to_string(int(time)));
        render(0.0f, 1.0f);
    }
    void render(float, float) override {
        glClearColor(float(int(time) % 1000) / 1000.0f, 0.5f, 0.25f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    std::string name;
};

class SchedulerTest : public HeadlessTest {
protected:
    void SetUp() override { g_calls.clear(); }
    void TearDown() override {
        HeadlessTest::TearDown();
        if (!dir.empty()) std::filesystem::remove_all(dir);
    }
    std::string dir;
};

TEST_F(SchedulerTest, RunsActiveEffectsLowerLayersFirstWithTheirTime) {
    StmRunOptions options;
    options.fixedFps = 1; // frames at 0, 1000, 2000 ms
    open(16, 16, options);
    stmAddEffect(0, 2000, 10, "top", new Recorder("top"));
    stmAddEffect(0, 1000, 0, "first", new Recorder("first"));
    stmAddEffect(1000, 3000, 0, "second", new Recorder("second"));
    stmInitEffects();
    stmInitTimer();
    for (int i = 0; i < 3; ++i) {
        stmUpdateTimer();
        stmRun();
    }
    std::vector<std::string> expected = {
        "init top 0..2000", "init first 0..1000", "init second 1000..3000", "draw first 0",
        "draw top 0",       "draw second 1000",   "draw top 1000",          "draw second 2000",
    };
    EXPECT_EQ(g_calls, expected);
}

// A frame drawn ahead of its time runs the effects of that time, which read
// it as the song time with no time elapsed, and leaves the clock as it was:
// the next frame's time and delta are those of a run without it.
TEST_F(SchedulerTest, RunAtDrawsTheEffectsOfThatTimeAndPutsTheClockBack) {
    StmRunOptions options;
    options.fixedFps = 1;
    open(16, 16, options);
    stmAddEffect(0, 1000, 0, "first", new Recorder("first"));
    stmAddEffect(1000, 3000, 0, "second", new Recorder("second"));
    stmInitEffects();
    stmInitTimer();
    stmUpdateTimer();
    const float time = stmGetTime(), delta = stmGetDeltaTime();
    g_calls.clear();
    stmRunAt(2500.0f);
    EXPECT_EQ(g_calls, std::vector<std::string>{"draw second 2500"});
    EXPECT_EQ(stmGetTime(), time);
    EXPECT_EQ(stmGetDeltaTime(), delta);
    stmUpdateTimer();
    EXPECT_EQ(stmGetTime(), 1000.0f) << "the fixed clock counts no frame for it";
}

std::vector<char> readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Captures frames from..to at 20 fps into `out`; returns the frames written.
int capture(const std::string& out, float from, float to) {
    StmRunOptions options;
    options.fixedFps = 20;
    options.fixedFrom = from;
    options.captureOut = out.c_str();
    options.captureTo = to;
    EXPECT_NO_FATAL_FAILURE(headless::openWindow(48, 32, options));
    stmAddEffect(0, 100000, 0, "recorder", new Recorder("r"));
    stmInitEffects();
    stmInitTimer();
    for (int i = 0; i < 20; ++i) {
        stmUpdateTimer();
        stmRun();
        stmSwapBuffers();
    }
    stmClearEffects();
    stmShutDown();
    return stmCapturedFrames();
}

TEST_F(SchedulerTest, CapturesWriteTheRangeAndRepeatByteForByte) {
    dir = makeTempDir("capture");
    // 500 ms from 1000 at 20 fps: frames at 1000, 1050, ..., 1450.
    EXPECT_EQ(capture(dir + "/a", 1000.0f, 1500.0f), 10);
    EXPECT_EQ(capture(dir + "/b", 1000.0f, 1500.0f), 10);
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir + "/a")) {
        std::string name = entry.path().filename().string();
        EXPECT_EQ(readAll(entry.path().string()), readAll(dir + "/b/" + name)) << name;
        ++files;
    }
    EXPECT_EQ(files, 10);
    EXPECT_NE(readAll(dir + "/a/frame_000000.png"), readAll(dir + "/a/frame_000009.png"));

    capture(dir + "/one.png", 1000.0f, -1.0f);
    std::vector<char> png = readAll(dir + "/one.png");
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ(std::string(png.data() + 1, 3), "PNG");
    EXPECT_EQ(static_cast<unsigned char>(png[19]), 48); // IHDR width, low byte
}

} // namespace
