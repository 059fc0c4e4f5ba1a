// The launcher's model on made-up mode lists: which modes are offered and in
// what order, the lists built from them, and the choice that Play makes.
#include "launcher/Launcher.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

DisplayMode mode(int w, int h, int hz, int bits = 32) { return {w, h, bits, hz}; }

TEST(LauncherModel, ResolutionLinesFollowTheSortedModesAndEachOffersItsOwnRates) {
    // Height is not a sort key: the two 1280 x 720 modes stay apart.
    Launcher l({mode(1280, 720, 60), mode(1280, 1024, 60), mode(1280, 720, 75)});
    l.begin(mode(1280, 720, 75));
    EXPECT_EQ(l.resolutionLines(), (Lines{"1280 x 720", "1280 x 1024", "1280 x 720"}));
    EXPECT_EQ(l.resolutionEntries(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(l.resolutionIndex(), 0);
    EXPECT_EQ(l.rateLines(), (Lines{"60 hz", "75 hz"}));
    EXPECT_EQ(l.rateIndex(), 1);

    for (int line : {1, 2, 0}) {
        l.selectResolution(line);
        const DisplayMode& chosen = l.modes()[l.resolutionEntries()[line]];
        EXPECT_EQ(l.rateLines(), chosen.height == 720 ? (Lines{"60 hz", "75 hz"}) : (Lines{"60 hz"})) << line;
        EXPECT_EQ(l.rateIndex(), int(l.rateLines().size()) - 1) << "highest rate selected";
        l.selectRate(0);
        l.play();
        EXPECT_EQ(l.getWidth(), chosen.width);
        EXPECT_EQ(l.getHeight(), chosen.height);
        EXPECT_EQ(l.getRefreshRate(), 60);
    }
}

TEST(LauncherModel, OffersOnly32BitModesAtLeast640WideSortedStablyByWidthThenRate) {
    Launcher l({mode(1024, 768, 75), mode(800, 600, 60, 16), mode(600, 400, 60), mode(1024, 576, 60), mode(-1, 480, 60),
                mode(640, 480, 60), mode(1024, 768, 60), mode(800, 600, 60, 24)});
    ASSERT_EQ(l.modes().size(), 4u);
    const int expected[][3] = {{640, 480, 60}, {1024, 576, 60}, {1024, 768, 60}, {1024, 768, 75}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(l.modes()[i].width, expected[i][0]) << i;
        EXPECT_EQ(l.modes()[i].height, expected[i][1]) << i;
        EXPECT_EQ(l.modes()[i].refreshRate, expected[i][2]) << i;
    }
    l.begin(mode(1024, 768, 60));
    EXPECT_EQ(l.resolutionLines(), (Lines{"640 x 480", "1024 x 576", "1024 x 768"}));
    EXPECT_EQ(l.resolutionIndex(), 2);
    EXPECT_EQ(l.rateLines(), (Lines{"60 hz", "75 hz"}));
    EXPECT_EQ(l.getRefreshRate(), 75);
}

TEST(LauncherModel, StartsAtTheDesktopModeWithAutoAspect) {
    Launcher l({mode(1280, 1024, 60), mode(1920, 1080, 50), mode(1920, 1080, 60), mode(1920, 1200, 60)});
    l.begin(mode(1920, 1080, 60));
    EXPECT_EQ(l.resolutionIndex(), 1);
    EXPECT_EQ(l.aspectIndex(), 4);
    EXPECT_EQ(Launcher::aspectLines()[size_t(l.aspectIndex())], "Auto");
    EXPECT_EQ(l.getDesktopAspectRatio(), 1.7777778f);
    EXPECT_EQ(l.getBitsPerPixel(), 32);
    EXPECT_FALSE(l.isAccepted());

    // The desktop aspect stays that of the start even when another
    // resolution is played; "Auto" follows the chosen one.
    l.selectResolution(0);
    l.play();
    EXPECT_TRUE(l.isAccepted());
    EXPECT_EQ(l.getAspectRatio(), 1.25f);
    EXPECT_EQ(l.getDesktopAspectRatio(), 1.7777778f);
    l.selectResolution(1);
    l.play();
    EXPECT_EQ(l.getAspectRatio(), 1.7777778f);
}

TEST(LauncherModel, AspectLinesGiveTheirRatiosByPosition) {
    Launcher l({mode(1280, 1024, 60)});
    l.begin(mode(1280, 1024, 60));
    const float ratios[] = {1.3333334f, 1.6f, 1.7777778f, 1.25f, 1.25f};
    for (int line = 0; line < 5; ++line) {
        l.selectAspect(line);
        l.play();
        EXPECT_EQ(l.getAspectRatio(), ratios[line]) << Launcher::aspectLines()[size_t(line)];
    }
    l.selectAspect(5);
    EXPECT_EQ(l.aspectIndex(), 4) << "a line beyond the list changes nothing";
}

TEST(LauncherModel, DesktopModeNotOfferedLeavesTheRateListEmptyButPlayGivesARate) {
    Launcher l({mode(800, 600, 56), mode(800, 600, 72), mode(1024, 768, 60)});
    l.begin(mode(1366, 768, 60));
    EXPECT_EQ(l.resolutionIndex(), 0);
    EXPECT_TRUE(l.rateLines().empty());
    EXPECT_EQ(l.rateIndex(), -1);
    EXPECT_EQ(l.getDesktopAspectRatio(), 800.0f / 600.0f);
    l.selectRate(0);
    l.play();
    EXPECT_EQ(l.getWidth(), 800);
    EXPECT_EQ(l.getHeight(), 600);
    EXPECT_EQ(l.getRefreshRate(), 72) << "the chosen resolution's highest rate";
    // "Auto" is the chosen resolution's shape, not the desktop's.
    EXPECT_EQ(l.getAspectRatio(), 800.0f / 600.0f);
}

TEST(LauncherModel, NoOfferedModeGivesEmptyListsAndTheDesktopMode) {
    Launcher l({mode(1920, 1080, 60, 16), mode(320, 200, 70)});
    l.begin(mode(1920, 1080, 59));
    EXPECT_TRUE(l.resolutionLines().empty());
    EXPECT_TRUE(l.rateLines().empty());
    l.selectResolution(0);
    l.play();
    EXPECT_EQ(l.getWidth(), 1920);
    EXPECT_EQ(l.getHeight(), 1080);
    EXPECT_EQ(l.getRefreshRate(), 59);
    EXPECT_EQ(l.getAspectRatio(), 1.7777778f);

    // Nothing known at all still gives numbers, not a division by zero.
    Launcher none({});
    none.begin(DisplayMode{});
    none.play();
    EXPECT_EQ(none.getAspectRatio(), 0.0f);
    EXPECT_EQ(none.getDesktopAspectRatio(), 0.0f);
}

TEST(LauncherModel, BoxesSetTheirFlagsOnPlayAndNeverClearThem) {
    Launcher l({mode(1280, 720, 60)});
    l.begin(mode(1280, 720, 60));
    l.setAlwaysOnTopBox(true);
    l.setFullscreenBox(true);
    EXPECT_FALSE(l.alwaysOnTopEnabled());
    l.setAlwaysOnTopBox(false);
    EXPECT_TRUE(l.alwaysOnTopBox()) << "a greyed box cannot be changed";
    EXPECT_FALSE(l.getFullscreen()) << "flags wait for Play";
    l.play();
    EXPECT_TRUE(l.getFullscreen());
    EXPECT_TRUE(l.getAlwaysOnTop());
    EXPECT_TRUE(l.getAlwaysOnTopCopy());
    EXPECT_FALSE(l.getOption1006());

    l.setFullscreenBox(false);
    l.setAlwaysOnTopBox(false);
    l.play();
    EXPECT_TRUE(l.getFullscreen());
    EXPECT_TRUE(l.getAlwaysOnTop());
    l.setOption1006();
    EXPECT_TRUE(l.getOption1006());
    l.quit();
    EXPECT_FALSE(l.isAccepted());
}

} // namespace
