// The launcher dialog's ImGui frame code.
#include "launcher/LauncherDialog.h"

#include <string>
#include <vector>

namespace {

// Template rectangles in dialog units, doubled in launcherControlRect.
constexpr LauncherRect kTemplate[] = {
    {1, 1, 213, 64},    // picture
    {6, 65, 78, 32},    // "Resolution" group
    {12, 78, 65, 12},   // resolution list (closed box)
    {90, 65, 55, 32},   // "Hz" group
    {96, 78, 43, 12},   // rate list
    {151, 65, 59, 32},  // "Aspect ratio" group
    {157, 78, 48, 12},  // aspect list
    {5, 98, 206, 23},   // the boxes' unlabelled group
    {12, 106, 47, 9},   // "Fullscreen"
    {63, 106, 62, 9},   // "Always on top"
    {5, 125, 149, 14},  // Play
    {159, 125, 52, 14}, // Quit
};
static_assert(sizeof kTemplate / sizeof kTemplate[0] == size_t(LauncherControl::Count));

ImVec2 topLeft(LauncherControl c) {
    LauncherRect r = launcherControlRect(c);
    return ImVec2(r.x, r.y);
}

ImVec2 size(LauncherControl c) {
    LauncherRect r = launcherControlRect(c);
    return ImVec2(r.w, r.h);
}

// A flat group frame with its label set into the top edge.
void groupBox(LauncherControl c, const char* label) {
    ImDrawList* draw = ImGui::GetWindowDrawList();
    ImVec2 origin = ImGui::GetWindowPos();
    LauncherRect r = launcherControlRect(c);
    float half = ImGui::GetFontSize() * 0.5f;
    ImVec2 a(origin.x + r.x, origin.y + r.y + half), b(origin.x + r.x + r.w, origin.y + r.y + r.h);
    draw->AddRect(a, b, ImGui::GetColorU32(ImGuiCol_Border));
    if (!*label) return;
    ImVec2 text(origin.x + r.x + 8.0f, origin.y + r.y);
    ImVec2 extent = ImGui::CalcTextSize(label);
    draw->AddRectFilled(ImVec2(text.x - 2.0f, text.y), ImVec2(text.x + extent.x + 2.0f, text.y + extent.y),
                        ImGui::GetColorU32(ImGuiCol_WindowBg));
    draw->AddText(text, ImGui::GetColorU32(ImGuiCol_Text), label);
}

// A drop-down list; returns the line picked this frame, or -1.
int dropDown(LauncherControl c, const char* id, const std::vector<std::string>& lines, int selected) {
    ImGui::SetCursorPos(topLeft(c));
    ImGui::SetNextItemWidth(size(c).x);
    const char* preview = selected >= 0 && selected < int(lines.size()) ? lines[selected].c_str() : "";
    int picked = -1;
    if (ImGui::BeginCombo(id, preview, ImGuiComboFlags_HeightRegular)) {
        for (int i = 0; i < int(lines.size()); ++i) {
            ImGui::PushID(i); // lines may repeat
            if (ImGui::Selectable(lines[i].c_str(), i == selected)) picked = i;
            if (i == selected) ImGui::SetItemDefaultFocus();
            ImGui::PopID();
        }
        ImGui::EndCombo();
    }
    return picked;
}

bool keyPressed(ImGuiKey key) { return ImGui::IsKeyPressed(ImGui::GetKeyIndex(key), false); }

} // namespace

LauncherRect launcherControlRect(LauncherControl control) {
    LauncherRect r = kTemplate[int(control)];
    return {r.x * 2.0f, r.y * 2.0f, r.w * 2.0f, r.h * 2.0f};
}

void applyLauncherStyle() {
    ImGui::StyleColorsLight();
    ImGuiStyle& style = ImGui::GetStyle();
    style.WindowRounding = style.FrameRounding = style.PopupRounding = style.GrabRounding = 0.0f;
    style.WindowBorderSize = 0.0f;
    style.FrameBorderSize = 1.0f;
}

LauncherAction LauncherDialog::frame(Launcher& launcher) {
    // A key that closes a dropped-down list is spent on it: the list was open
    // at the end of the previous frame.
    bool listOpen = listWasOpen_;
    ImGuiIO& io = ImGui::GetIO();
    ImGui::SetNextWindowPos(ImVec2(0, 0));
    ImGui::SetNextWindowSize(io.DisplaySize);
    ImGui::Begin("##launcher", nullptr,
                 ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoSavedSettings |
                     ImGuiWindowFlags_NoBringToFrontOnFocus);

    if (picture_) {
        ImGui::SetCursorPos(topLeft(LauncherControl::Picture));
        ImGui::Image(picture_, size(LauncherControl::Picture), ImVec2(0, 0), ImVec2(1, 1), ImVec4(1, 1, 1, 1),
                     ImGui::GetStyleColorVec4(ImGuiCol_Border));
    }

    groupBox(LauncherControl::ResolutionGroup, "Resolution");
    groupBox(LauncherControl::RateGroup, "Hz");
    groupBox(LauncherControl::AspectGroup, "Aspect ratio");
    groupBox(LauncherControl::BoxGroup, "");

    int line = dropDown(LauncherControl::ResolutionList, "##resolution", launcher.resolutionLines(),
                        launcher.resolutionIndex());
    if (line >= 0) launcher.selectResolution(line);
    line = dropDown(LauncherControl::RateList, "##rate", launcher.rateLines(), launcher.rateIndex());
    if (line >= 0) launcher.selectRate(line);
    line = dropDown(LauncherControl::AspectList, "##aspect", Launcher::aspectLines(), launcher.aspectIndex());
    if (line >= 0) launcher.selectAspect(line);

    ImGui::SetCursorPos(topLeft(LauncherControl::FullscreenBox));
    bool checked = launcher.fullscreenBox();
    if (ImGui::Checkbox("Fullscreen", &checked)) launcher.setFullscreenBox(checked);
    ImGui::SetCursorPos(topLeft(LauncherControl::AlwaysOnTopBox));
    checked = launcher.alwaysOnTopBox();
    ImGui::BeginDisabled(!launcher.alwaysOnTopEnabled());
    if (ImGui::Checkbox("Always on top", &checked)) launcher.setAlwaysOnTopBox(checked);
    ImGui::EndDisabled();

    LauncherAction action = LauncherAction::None;
    ImGui::SetCursorPos(topLeft(LauncherControl::PlayButton));
    if (ImGui::Button("Play", size(LauncherControl::PlayButton))) action = LauncherAction::Play;
    ImGui::SetCursorPos(topLeft(LauncherControl::QuitButton));
    if (ImGui::Button("Quit", size(LauncherControl::QuitButton))) action = LauncherAction::Quit;
    if (action == LauncherAction::None && !listOpen) {
        if (keyPressed(ImGuiKey_Enter) || keyPressed(ImGuiKey_KeyPadEnter))
            action = LauncherAction::Play;
        else if (keyPressed(ImGuiKey_Escape))
            action = LauncherAction::Quit;
    }
    listWasOpen_ = ImGui::IsPopupOpen("", ImGuiPopupFlags_AnyPopupId | ImGuiPopupFlags_AnyPopupLevel);
    ImGui::End();

    if (action == LauncherAction::Play)
        launcher.play();
    else if (action == LauncherAction::Quit)
        launcher.quit();
    return action;
}
