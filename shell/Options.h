// The command line of zephran: display choices (standing in for the launcher
// dialog), headless rendering, capture, single shots and the song export.
#pragma once

#include <string>

struct ShellOptions {
    // Display choices; 0 width/height means the desktop mode.
    int width = 0, height = 0;
    bool fullscreen = false;
    float aspect = 0.0f; // picture aspect; 0: the screen's
    int refresh = 60;
    bool onTop = false;
    bool displayGiven = false; // some display option above was on the command line
    bool launcher = true;      // false: --no-launcher
    bool headless = false;
    std::string dataDir;
    // Capture and shots (a fixed clock; frame k at from + k * 1000 / fps).
    std::string capture;
    int fps = 0; // 0: wall clock (60 for a capture or shot)
    float from = 0.0f;
    float to = -1.0f; // < 0: the programme's end
    bool shot = false;
    float shotTime = 0.0f;
    std::string shotFile;
    std::string exportSong;
    std::string extract;    // write the archive's members as files here and exit
    bool force = false;     // --extract overwrites files that are there
    bool watch = false;     // rebuild shaders and images edited in dataDir while playing
    bool loop = false;      // play the programme again from 0 at its end
    bool benchmark = false; // fixed clock, headless, frame times instead of output
    bool glCheck = false;   // check the GL state after every draw; faults make the exit status 1
    bool help = false;
};

// Parses argv; false with `error` set (naming the option and what it
// expected) on a bad command line.
bool parseOptions(int argc, char** argv, ShellOptions& options, std::string& error);
const char* usageText();
// Whether the launcher dialog is to be asked for the display choices: not with
// --no-launcher, a display option, a headless run, a capture, a shot, a
// benchmark, the song export or an extraction. (Without a display it is skipped as well; the launcher tells.)
bool launcherWanted(const ShellOptions& options);
