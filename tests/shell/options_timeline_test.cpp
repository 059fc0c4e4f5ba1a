// Command-line parsing and the programme's timeline.
#include "shell/Options.h"
#include "shell/Timeline.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

bool parse(std::vector<const char*> args, ShellOptions& options, std::string& error) {
    args.insert(args.begin(), "zephran");
    return parseOptions(int(args.size()), const_cast<char**>(args.data()), options, error);
}

TEST(Options, ReadsCaptureShotAndDisplayChoices) {
    ShellOptions o;
    std::string error;
    ASSERT_TRUE(parse({"--headless", "--capture", "out", "--fps", "30", "--size", "640x360", "--from", "1000", "--to",
                       "2000", "--aspect", "16:9", "--data", "dir"},
                      o, error))
        << error;
    EXPECT_TRUE(o.headless);
    EXPECT_EQ(o.capture, "out");
    EXPECT_EQ(o.fps, 30);
    EXPECT_EQ(o.width, 640);
    EXPECT_EQ(o.height, 360);
    EXPECT_FLOAT_EQ(o.from, 1000.0f);
    EXPECT_FLOAT_EQ(o.to, 2000.0f);
    EXPECT_NEAR(o.aspect, 16.0f / 9.0f, 1e-6f);
    EXPECT_EQ(o.dataDir, "dir");

    ShellOptions s;
    ASSERT_TRUE(parse({"--shot", "5000", "frame.png", "--aspect", "1.25"}, s, error)) << error;
    EXPECT_TRUE(s.shot);
    EXPECT_FLOAT_EQ(s.shotTime, 5000.0f);
    EXPECT_EQ(s.shotFile, "frame.png");
    EXPECT_FLOAT_EQ(s.aspect, 1.25f);
}

TEST(Options, RefusesBadValuesNamingTheOption) {
    struct Case {
        std::vector<const char*> args;
        const char* mention;
    } cases[] = {
        {{"--size", "640"}, "--size"},
        {{"--size", "0x10"}, "--size"},
        {{"--fps", "fast"}, "--fps"},
        {{"--fps"}, "--fps expects a value"},
        {{"--shot", "100"}, "--shot expects two values"},
        {{"--aspect", "16:0"}, "--aspect"},
        {{"--width", "-5"}, "--width"},
        {{"--from", "2000", "--to", "1000"}, "--to"},
        {{"--bogus"}, "--bogus"},
        {{"--width", "800"}, "--width needs --height"},
        {{"--height", "600", "--fullscreen"}, "--height needs --width"},
        {{"--watch"}, "--watch needs --data"},
        {{"--extract", "out", "--data", "dir"}, "--extract"},
        {{"--force"}, "--force"},
        {{"--extract"}, "--extract expects a value"},
    };
    for (const Case& c : cases) {
        ShellOptions o;
        std::string error;
        EXPECT_FALSE(parse(c.args, o, error)) << c.mention;
        EXPECT_NE(error.find(c.mention), std::string::npos) << error;
    }
}

TEST(Options, LauncherIsSkippedByDisplayHeadlessCaptureAndShotOptions) {
    ShellOptions plain;
    std::string error;
    ASSERT_TRUE(parse({"--data", "dir"}, plain, error)) << error;
    EXPECT_TRUE(launcherWanted(plain));

    const std::vector<std::vector<const char*>> skipping = {
        {"--no-launcher"},     {"--width", "800", "--height", "600"},
        {"--size", "800x600"}, {"--fullscreen"},
        {"--aspect", "4:3"},   {"--refresh", "60"},
        {"--on-top"},          {"--headless"},
        {"--capture", "out"},  {"--shot", "1000", "x.png"},
        {"--benchmark"},       {"--export-song", "s.wav"},
        {"--extract", "out"},
    };
    for (const auto& args : skipping) {
        ShellOptions o;
        ASSERT_TRUE(parse(args, o, error)) << args[0] << ": " << error;
        EXPECT_FALSE(launcherWanted(o)) << args[0];
    }
}

TEST(Timeline, BoundariesFallOnBeatsAndDoorsSharesDanceCubesSpan) {
    BeatClock clock(129.5f, 350);
    std::vector<TimelineSpan> spans = timelineSpans(clock);
    ASSERT_EQ(spans.size(), 9u);
    const unsigned int ends[] = {16668, 57875, 89359, 118991, 118991, 163902, 178255, 193071, 225450};
    const unsigned int starts[] = {0, 16668, 57875, 89359, 89359, 118991, 163902, 178255, 193071};
    for (size_t i = 0; i < spans.size(); ++i) {
        EXPECT_EQ(spans[i].start, starts[i]) << spans[i].name;
        EXPECT_EQ(spans[i].end, ends[i]) << spans[i].name;
    }
    EXPECT_STREQ(spans[4].name, "collada6");
    EXPECT_EQ(spans[4].layer, 10);
    EXPECT_STREQ(spans[8].name, "growPrimitives");
}

} // namespace

namespace {

TEST(Options, HelpNamesEveryOption) {
    const char* options[] = {"--width",       "--height",      "--fullscreen", "--aspect", "--refresh",
                             "--on-top",      "--no-launcher", "--headless",   "--data",   "--capture",
                             "--fps",         "--size",        "--from",       "--to",     "--shot",
                             "--export-song", "--extract",     "--force",      "--watch",  "--help"};
    std::string help = usageText();
    for (const char* option : options) {
        EXPECT_NE(help.find(std::string("  ") + option + " "), std::string::npos) << option;
        ShellOptions o;
        std::string error;
        parse({option, "1000", "x.png"}, o, error);
        EXPECT_EQ(error.find(std::string("unknown option '") + option), std::string::npos) << option;
    }
}

} // namespace
