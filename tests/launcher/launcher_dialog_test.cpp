// The launcher dialog's own ImGui frame code driven without a window: scripted
// mouse and key input, frame after frame, and the choice it leaves behind.
#include "launcher/LauncherDialog.h"

#include <gtest/gtest.h>
#include <imgui_internal.h>

namespace {

// Key slots as a backend would map them: ImGui key k at slot k + 1.
constexpr int kEnter = ImGuiKey_Enter + 1, kEscape = ImGuiKey_Escape + 1;

class LauncherDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ImGui::CreateContext();
        ImGuiIO& io = ImGui::GetIO();
        io.IniFilename = nullptr;
        io.DisplaySize = ImVec2(kLauncherWidth, kLauncherHeight);
        io.ConfigFlags |= ImGuiConfigFlags_NavEnableKeyboard;
        for (int key = 0; key < ImGuiKey_COUNT; ++key) io.KeyMap[key] = key + 1;
        unsigned char* pixels;
        int w, h;
        io.Fonts->GetTexDataAsRGBA32(&pixels, &w, &h);
        applyLauncherStyle();
        launcher.begin({1920, 1080, 32, 60});
    }
    void TearDown() override { ImGui::DestroyContext(); }

    LauncherAction frame() {
        ImGui::GetIO().DeltaTime = 1.0f / 60.0f;
        ImGui::NewFrame();
        LauncherAction action = dialog.frame(launcher);
        ImGui::Render();
        if (action != LauncherAction::None) actions.push_back(action);
        return action;
    }
    void idle(int frames = 2) {
        for (int i = 0; i < frames; ++i) frame();
    }
    void click(ImVec2 at) {
        ImGuiIO& io = ImGui::GetIO();
        io.MousePos = at;
        frame();
        io.MouseDown[0] = true;
        frame();
        io.MouseDown[0] = false;
        frame();
    }
    void click(LauncherControl c) {
        LauncherRect r = launcherControlRect(c);
        click(ImVec2(r.x + r.w * 0.5f, r.y + r.h * 0.5f));
    }
    // Clicks a line of the list dropped down by the latest click.
    void pickLine(int line) {
        idle(); // a popup takes its size and place over its first frames
        ImGuiWindow* popup = ImGui::GetCurrentContext()->OpenPopupStack.empty()
                                 ? nullptr
                                 : ImGui::GetCurrentContext()->OpenPopupStack.back().Window;
        ASSERT_NE(popup, nullptr) << "no list dropped down";
        const ImGuiStyle& style = ImGui::GetStyle();
        float pitch = ImGui::GetFontSize() + style.ItemSpacing.y;
        click(ImVec2(popup->Pos.x + popup->Size.x * 0.5f,
                     popup->Pos.y + style.WindowPadding.y + pitch * float(line) + ImGui::GetFontSize() * 0.5f));
    }
    void press(int key) {
        ImGuiIO& io = ImGui::GetIO();
        io.KeysDown[key] = true;
        frame();
        io.KeysDown[key] = false;
        frame();
    }

    Launcher launcher{
        {{1280, 720, 32, 60}, {1920, 1080, 32, 50}, {1920, 1080, 32, 60}, {1280, 1024, 32, 60}, {1280, 720, 32, 75}}};
    LauncherDialog dialog{nullptr};
    std::vector<LauncherAction> actions;
};

TEST_F(LauncherDialogTest, EnterPlaysThePreselectedDesktopMode) {
    idle();
    press(kEnter);
    ASSERT_EQ(actions, std::vector<LauncherAction>{LauncherAction::Play});
    EXPECT_TRUE(launcher.isAccepted());
    EXPECT_EQ(launcher.getWidth(), 1920);
    EXPECT_EQ(launcher.getHeight(), 1080);
    EXPECT_EQ(launcher.getRefreshRate(), 60);
    EXPECT_EQ(launcher.getAspectRatio(), 1.7777778f);
    EXPECT_FALSE(launcher.getFullscreen());
    EXPECT_FALSE(launcher.getAlwaysOnTop());
}

TEST_F(LauncherDialogTest, EscapeAndQuitLeaveWithoutPlay) {
    idle();
    press(kEscape);
    EXPECT_EQ(actions, std::vector<LauncherAction>{LauncherAction::Quit});
    EXPECT_FALSE(launcher.isAccepted());

    actions.clear();
    click(LauncherControl::QuitButton);
    EXPECT_EQ(actions, std::vector<LauncherAction>{LauncherAction::Quit});
    EXPECT_FALSE(launcher.isAccepted());
}

TEST_F(LauncherDialogTest, ListsBoxesAndPlayMakeTheChoice) {
    idle();
    // 1280 x 720 (line 0, with 60 and 75 Hz), then its 60 Hz line, then 16:10.
    click(LauncherControl::ResolutionList);
    pickLine(0);
    EXPECT_EQ(launcher.resolutionIndex(), 0);
    EXPECT_EQ(launcher.rateIndex(), 1) << "a new resolution selects its highest rate";
    click(LauncherControl::RateList);
    pickLine(0);
    click(LauncherControl::AspectList);
    pickLine(1);

    // "Always on top" greys out under "Fullscreen": clicking it does nothing.
    click(LauncherControl::FullscreenBox);
    EXPECT_TRUE(launcher.fullscreenBox());
    click(LauncherControl::AlwaysOnTopBox);
    EXPECT_FALSE(launcher.alwaysOnTopBox());
    click(LauncherControl::FullscreenBox);
    click(LauncherControl::AlwaysOnTopBox);
    EXPECT_TRUE(launcher.alwaysOnTopBox());
    click(LauncherControl::FullscreenBox);

    EXPECT_TRUE(actions.empty());
    click(LauncherControl::PlayButton);
    ASSERT_EQ(actions, std::vector<LauncherAction>{LauncherAction::Play});
    EXPECT_EQ(launcher.getWidth(), 1280);
    EXPECT_EQ(launcher.getHeight(), 720);
    EXPECT_EQ(launcher.getRefreshRate(), 60);
    EXPECT_EQ(launcher.getAspectRatio(), 1.6f);
    EXPECT_TRUE(launcher.getFullscreen());
    EXPECT_TRUE(launcher.getAlwaysOnTop());
    EXPECT_TRUE(launcher.getAlwaysOnTopCopy());
}

TEST_F(LauncherDialogTest, EscapeFirstClosesADroppedDownList) {
    idle();
    click(LauncherControl::ResolutionList);
    ASSERT_TRUE(ImGui::IsPopupOpen("", ImGuiPopupFlags_AnyPopupId | ImGuiPopupFlags_AnyPopupLevel));
    press(kEscape);
    EXPECT_FALSE(ImGui::IsPopupOpen("", ImGuiPopupFlags_AnyPopupId | ImGuiPopupFlags_AnyPopupLevel));
    EXPECT_TRUE(actions.empty());
    press(kEscape);
    EXPECT_EQ(actions, std::vector<LauncherAction>{LauncherAction::Quit});
}

} // namespace
