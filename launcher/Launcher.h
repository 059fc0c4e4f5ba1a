// The launcher's model: the display modes offered, the dialog's three lists,
// its two boxes and the choice that Play hands to stmInitEx. Plain data with
// no window system behind it; LauncherDialog draws it and LauncherWindow feeds
// it the display's modes.
#pragma once

#include <string>
#include <vector>

struct DisplayMode {
    int width = 0, height = 0;
    int bitsPerPixel = 0;
    int refreshRate = 0; // Hz; 0 where the display does not say
};

class Launcher {
public:
    // Keeps the 32-bit modes at least 640 wide, sorted stably by width and then
    // by rate (height is not a key), and starts a resolution line at every
    // change of (width, height). Nothing is selected until begin().
    explicit Launcher(const std::vector<DisplayMode>& systemModes);

    // The dialog's start: selects the desktop's resolution (line 0 when it is not
    // offered), the desktop's rate list with its highest rate (empty when the
    // desktop's resolution is not offered) and "Auto".
    void begin(const DisplayMode& desktop);

    // The lists as the dialog shows them; aspect lines are read by position.
    std::vector<std::string> resolutionLines() const;
    std::vector<std::string> rateLines() const;
    static const std::vector<std::string>& aspectLines();
    int resolutionIndex() const { return resolutionIndex_; }
    int rateIndex() const { return rateIndex_; } // -1: no line selected
    int aspectIndex() const { return aspectIndex_; }

    // A line out of range changes nothing. Choosing a resolution rebuilds the
    // rate list for it and selects its highest rate.
    void selectResolution(int line);
    void selectRate(int line);
    void selectAspect(int line);

    // The two check boxes; "Always on top" can be changed only while
    // "Fullscreen" is not checked.
    bool fullscreenBox() const { return fullscreenBox_; }
    bool alwaysOnTopBox() const { return alwaysOnTopBox_; }
    bool alwaysOnTopEnabled() const { return !fullscreenBox_; }
    void setFullscreenBox(bool checked) { fullscreenBox_ = checked; }
    void setAlwaysOnTopBox(bool checked);

    // Play takes the aspect line and sets the flags of the checked boxes (a
    // flag once set stays set); Quit leaves the launcher not accepted.
    void play();
    void quit() { accepted_ = false; }
    void setOption1006() { option1006_ = true; }

    // The choice. Without any offered mode the desktop's resolution and rate
    // stand in; without a selected rate line, the highest rate offered for the
    // chosen resolution (see getRefreshRate).
    bool isAccepted() const { return accepted_; }
    int getWidth() const;
    int getHeight() const;
    int getRefreshRate() const;
    int getBitsPerPixel() const { return bitsPerPixel_; }
    bool getFullscreen() const { return fullscreen_; }
    bool getOption1006() const { return option1006_; }
    bool getAlwaysOnTop() const { return alwaysOnTop_; }
    bool getAlwaysOnTopCopy() const { return alwaysOnTopCopy_; }
    float getAspectRatio() const { return aspectRatio_; }
    float getDesktopAspectRatio() const { return desktopAspectRatio_; }

    const std::vector<DisplayMode>& modes() const { return modes_; }
    const std::vector<int>& resolutionEntries() const { return resolutionEntries_; }
    const std::vector<int>& rateEntries() const { return rateEntries_; }

private:
    const DisplayMode* chosenResolution() const; // null without offered modes
    void fillRates(int width, int height);

    std::vector<DisplayMode> modes_;
    std::vector<int> resolutionEntries_;
    std::vector<int> rateEntries_;
    DisplayMode desktop_;
    int resolutionIndex_ = 0;
    int rateIndex_ = -1;
    int aspectIndex_ = 4;
    int bitsPerPixel_ = 32;
    bool fullscreenBox_ = false, alwaysOnTopBox_ = false;
    bool fullscreen_ = false;
    bool option1006_ = false;
    bool alwaysOnTop_ = false, alwaysOnTopCopy_ = false;
    float aspectRatio_ = 1.3333334f;
    float desktopAspectRatio_ = 0.0f;
    bool accepted_ = false;
};
