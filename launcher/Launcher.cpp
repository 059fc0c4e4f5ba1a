// The launcher's model: mode filtering and sorting, the lists and the choice.
#include "launcher/Launcher.h"

#include <algorithm>
#include <cstdio>

namespace {

std::string format(const char* pattern, int a, int b = 0) {
    char line[48];
    std::snprintf(line, sizeof line, pattern, a, b);
    return line;
}

bool sameResolution(const DisplayMode& a, const DisplayMode& b) { return a.width == b.width && a.height == b.height; }

float ratio(int width, int height) { return height != 0 ? float(width) / float(height) : 0.0f; }

} // namespace

Launcher::Launcher(const std::vector<DisplayMode>& systemModes) {
    for (const DisplayMode& m : systemModes)
        if (m.bitsPerPixel == 32 && m.width >= 640) modes_.push_back(m);
    std::stable_sort(modes_.begin(), modes_.end(), [](const DisplayMode& a, const DisplayMode& b) {
        return a.width != b.width ? a.width < b.width : a.refreshRate < b.refreshRate;
    });
    for (size_t i = 0; i < modes_.size(); ++i)
        if (i == 0 || !sameResolution(modes_[i], modes_[i - 1])) resolutionEntries_.push_back(int(i));
}

void Launcher::begin(const DisplayMode& desktop) {
    desktop_ = desktop;
    resolutionIndex_ = 0;
    for (size_t line = 0; line < resolutionEntries_.size(); ++line)
        if (sameResolution(modes_[resolutionEntries_[line]], desktop)) {
            resolutionIndex_ = int(line);
            break;
        }
    desktopAspectRatio_ = ratio(getWidth(), getHeight());
    aspectIndex_ = 4;
    aspectRatio_ = ratio(desktop.width, desktop.height);
    fillRates(desktop.width, desktop.height);
    bitsPerPixel_ = 32;
}

std::vector<std::string> Launcher::resolutionLines() const {
    std::vector<std::string> lines;
    for (int entry : resolutionEntries_) lines.push_back(format("%d x %d", modes_[entry].width, modes_[entry].height));
    return lines;
}

std::vector<std::string> Launcher::rateLines() const {
    std::vector<std::string> lines;
    for (int entry : rateEntries_) lines.push_back(format("%d hz", modes_[entry].refreshRate));
    return lines;
}

const std::vector<std::string>& Launcher::aspectLines() {
    static const std::vector<std::string> lines = {"4:3", "16:10", "16:9", "5:4", "Auto"};
    return lines;
}

void Launcher::fillRates(int width, int height) {
    rateEntries_.clear();
    for (size_t i = 0; i < modes_.size(); ++i)
        if (modes_[i].width == width && modes_[i].height == height) rateEntries_.push_back(int(i));
    rateIndex_ = int(rateEntries_.size()) - 1;
}

void Launcher::selectResolution(int line) {
    if (line < 0 || line >= int(resolutionEntries_.size())) return;
    resolutionIndex_ = line;
    const DisplayMode& m = modes_[resolutionEntries_[line]];
    fillRates(m.width, m.height);
}

void Launcher::selectRate(int line) {
    if (line >= 0 && line < int(rateEntries_.size())) rateIndex_ = line;
}

void Launcher::selectAspect(int line) {
    if (line >= 0 && line < int(aspectLines().size())) aspectIndex_ = line;
}

void Launcher::setAlwaysOnTopBox(bool checked) {
    if (alwaysOnTopEnabled()) alwaysOnTopBox_ = checked;
}

void Launcher::play() {
    static const float kRatios[] = {1.3333334f, 1.6f, 1.7777778f, 1.25f};
    aspectRatio_ = aspectIndex_ < 4 ? kRatios[aspectIndex_] : ratio(getWidth(), getHeight());
    if (fullscreenBox_) fullscreen_ = true;
    if (alwaysOnTopBox_) alwaysOnTop_ = alwaysOnTopCopy_ = true;
    accepted_ = true;
}

const DisplayMode* Launcher::chosenResolution() const {
    if (resolutionEntries_.empty()) return nullptr;
    return &modes_[resolutionEntries_[resolutionIndex_]];
}

int Launcher::getWidth() const {
    const DisplayMode* m = chosenResolution();
    return m ? m->width : desktop_.width;
}

int Launcher::getHeight() const {
    const DisplayMode* m = chosenResolution();
    return m ? m->height : desktop_.height;
}

// The rate list is empty while the desktop's resolution is not offered and no
// other resolution was chosen; the highest rate of the chosen resolution then
// stands in, as choosing that resolution would have selected it.
int Launcher::getRefreshRate() const {
    if (rateIndex_ >= 0 && rateIndex_ < int(rateEntries_.size())) return modes_[rateEntries_[rateIndex_]].refreshRate;
    const DisplayMode* chosen = chosenResolution();
    if (!chosen) return desktop_.refreshRate;
    int rate = chosen->refreshRate;
    for (const DisplayMode& m : modes_)
        if (sameResolution(m, *chosen)) rate = std::max(rate, m.refreshRate);
    return rate;
}
