// The launcher dialog as Dear ImGui frame code: one call per frame draws the
// dialog from a Launcher and applies the player's input to it. It needs only
// an ImGui context, so the window (LauncherWindow) and the tests drive the
// same code.
#pragma once

#include "launcher/Launcher.h"

#include <imgui.h>

enum class LauncherAction { None, Play, Quit };

// The controls, laid out at two pixels per dialog unit of the classic
// 216 x 142 template.
enum class LauncherControl {
    Picture,
    ResolutionGroup,
    ResolutionList,
    RateGroup,
    RateList,
    AspectGroup,
    AspectList,
    BoxGroup,
    FullscreenBox,
    AlwaysOnTopBox,
    PlayButton,
    QuitButton,
    Count
};
struct LauncherRect {
    float x, y, w, h;
};
// Pixels inside the dialog's client area (a list's rectangle is its closed box).
LauncherRect launcherControlRect(LauncherControl control);
constexpr int kLauncherWidth = 432, kLauncherHeight = 284;

class LauncherDialog {
public:
    // `picture`: the texture of the banner for ImGui::Image, null for none.
    explicit LauncherDialog(ImTextureID picture) : picture_(picture) {}

    // Call between ImGui::NewFrame and ImGui::Render. Draws the dialog over the
    // whole display. Play (its button or Enter) and Quit (its button or
    // Escape) are applied to `launcher` and returned; Enter and Escape only
    // close a list while one is dropped down.
    LauncherAction frame(Launcher& launcher);

private:
    ImTextureID picture_;
    bool listWasOpen_ = false;
};

// Look of the dialog: a light, flat style with square corners.
void applyLauncherStyle();
