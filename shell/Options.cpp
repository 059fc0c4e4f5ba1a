// Command-line parsing for zephran.
#include "shell/Options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

bool parseInt(const char* text, int lo, int hi, int& out) {
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(text, &end, 10);
    if (errno || end == text || *end || v < lo || v > hi) return false;
    out = int(v);
    return true;
}

bool parseFloat(const char* text, float lo, float hi, float& out) {
    char* end = nullptr;
    errno = 0;
    float v = std::strtof(text, &end);
    if (errno || end == text || *end || !(v >= lo && v <= hi)) return false;
    out = v;
    return true;
}

// The quarter-size render targets need at least one pixel each way; the
// driver's own maximum is checked once the context exists.
const int kMinSide = 4, kMaxSide = 16384;

bool parseSize(const char* text, int& w, int& h) {
    const char* x = std::strchr(text, 'x');
    if (!x) return false;
    std::string left(text, x);
    return parseInt(left.c_str(), kMinSide, kMaxSide, w) && parseInt(x + 1, kMinSide, kMaxSide, h);
}

// "16:9" or a plain ratio such as "1.7778".
bool parseAspect(const char* text, float& out) {
    const char* colon = std::strchr(text, ':');
    if (!colon) return parseFloat(text, 0.1f, 10.0f, out);
    float a = 0, b = 0;
    std::string left(text, colon);
    if (!parseFloat(left.c_str(), 0.01f, 10000.0f, a) || !parseFloat(colon + 1, 0.01f, 10000.0f, b)) return false;
    out = a / b;
    return out >= 0.1f && out <= 10.0f;
}

} // namespace

const char* usageText() {
    return "Usage: zephran [options]\n"
           "\n"
           "Display (any of these skips the launcher dialog; default: the desktop mode,\n"
           "windowed):\n"
           "  --width N            window width in pixels (with --height)\n"
           "  --height N           window height in pixels (with --width)\n"
           "  --fullscreen         full screen\n"
           "  --aspect A           picture aspect, as 16:9 or 1.7778; black bars where it\n"
           "                       differs from the window's (default: the screen's)\n"
           "  --refresh HZ         refresh rate for full screen (default 60)\n"
           "  --on-top             keep the window above others\n"
           "  --no-launcher        skip the launcher dialog (it is shown only with a display\n"
           "                       and no display, headless, capture, shot or benchmark\n"
           "                       option)\n"
           "  --loop               play the programme in a loop (exhibitions)\n"
           "\n"
           "Headless rendering:\n"
           "  --headless           no window or audio device (also when there is no display)\n"
           "  --data DIR           loose files in DIR override data.pak members\n"
           "  --capture OUT        fixed clock; every frame to OUT: a directory of PNG files,\n"
           "                       or an .mp4/.mkv video (through ffmpeg, with the song)\n"
           "  --fps N              frames per second of the fixed clock (default 60)\n"
           "  --size WxH           render size (same as --width W --height H)\n"
           "  --from MS            first frame's song time (default 0)\n"
           "  --to MS              stop before this song time (default: the programme's end)\n"
           "  --shot MS FILE.png   write the frame at song time MS, reached by seeking\n"
           "  --benchmark          play --from..--to (default: all) headless on the fixed\n"
           "                       clock, write nothing, print frame times per effect\n"
           "  --gl-check           after every effect and frame check the GL state and the\n"
           "                       driver's debug messages; print the faults, exit 1 on any\n"
           "  --export-song FILE.wav  write the song as WAV and exit\n"
           "\n"
           "Changing the demo:\n"
           "  --extract DIR        write every member of data.pak as a file under DIR and\n"
           "                       exit (existing files are kept)\n"
           "  --force              let --extract overwrite existing files\n"
           "  --watch              with --data DIR: shaders and images edited there are\n"
           "                       rebuilt while the programme plays\n"
           "  --help               this text\n"
           "\n"
           "Keys: Escape (or closing the window) fades out and ends; F1 with Left or\n"
           "Right seeks one second back or forward per frame. Space pauses, and while\n"
           "paused . and , step one frame; Page Up / Page Down jump to the next /\n"
           "previous effect, ] and [ one bar; L loops the current effect; Tab shows\n"
           "the timeline, V the render targets one by one.\n";
}

bool parseOptions(int argc, char** argv, ShellOptions& o, std::string& error) {
    static const char* const kDisplayOptions[] = {"--width",  "--height",  "--size",  "--fullscreen",
                                                  "--aspect", "--refresh", "--on-top"};
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        for (const char* option : kDisplayOptions) o.displayGiven = o.displayGiven || arg == option;
        auto value = [&](int n = 1) -> bool {
            if (i + n >= argc) {
                error = arg + " expects " + (n == 1 ? "a value" : "two values");
                return false;
            }
            return true;
        };
        // An output named twice would silently lose the first.
        auto once = [&](bool given) {
            if (given) error = arg + " given twice; a run writes one";
            return !given;
        };
        auto bad = [&](const char* expected) {
            error = arg + " expects " + expected + ", not '" + argv[i] + "'";
            return false;
        };
        if (arg == "--help" || arg == "-h") {
            o.help = true;
        } else if (arg == "--width") {
            if (!value() || !parseInt(argv[++i], kMinSide, kMaxSide, o.width))
                return error.empty() ? bad("a width in pixels, 4 to 16384") : false;
        } else if (arg == "--height") {
            if (!value() || !parseInt(argv[++i], kMinSide, kMaxSide, o.height))
                return error.empty() ? bad("a height in pixels, 4 to 16384") : false;
        } else if (arg == "--size") {
            if (!value() || !parseSize(argv[++i], o.width, o.height))
                return error.empty() ? bad("WIDTHxHEIGHT, each 4 to 16384, e.g. 1280x720") : false;
        } else if (arg == "--fullscreen") {
            o.fullscreen = true;
        } else if (arg == "--aspect") {
            if (!value() || !parseAspect(argv[++i], o.aspect))
                return error.empty() ? bad("a ratio such as 16:9 or 1.7778") : false;
        } else if (arg == "--refresh") {
            if (!value() || !parseInt(argv[++i], 1, 1000, o.refresh))
                return error.empty() ? bad("a refresh rate in Hz") : false;
        } else if (arg == "--on-top") {
            o.onTop = true;
        } else if (arg == "--no-launcher") {
            o.launcher = false;
        } else if (arg == "--loop") {
            o.loop = true;
        } else if (arg == "--headless") {
            o.headless = true;
        } else if (arg == "--data") {
            if (!value()) return false;
            o.dataDir = argv[++i];
        } else if (arg == "--capture") {
            if (!once(!o.capture.empty()) || !value()) return false;
            o.capture = argv[++i];
        } else if (arg == "--fps") {
            if (!value() || !parseInt(argv[++i], 1, 1000, o.fps))
                return error.empty() ? bad("frames per second, 1 to 1000") : false;
        } else if (arg == "--from") {
            if (!value() || !parseFloat(argv[++i], 0.0f, 1e7f, o.from))
                return error.empty() ? bad("a song time in ms") : false;
        } else if (arg == "--to") {
            if (!value() || !parseFloat(argv[++i], 0.0f, 1e7f, o.to))
                return error.empty() ? bad("a song time in ms") : false;
        } else if (arg == "--shot") {
            if (!once(o.shot) || !value(2)) return false;
            if (!parseFloat(argv[++i], 0.0f, 1e7f, o.shotTime)) return bad("a song time in ms");
            o.shot = true;
            o.shotFile = argv[++i];
        } else if (arg == "--benchmark") {
            o.benchmark = true;
            o.headless = true;
        } else if (arg == "--gl-check") {
            o.glCheck = true;
        } else if (arg == "--export-song") {
            if (!once(!o.exportSong.empty()) || !value()) return false;
            o.exportSong = argv[++i];
        } else if (arg == "--extract") {
            if (!value()) return false;
            o.extract = argv[++i];
        } else if (arg == "--force") {
            o.force = true;
        } else if (arg == "--watch") {
            o.watch = true;
        } else {
            error = "unknown option '" + arg + "' (see --help)";
            return false;
        }
    }
    if ((o.width > 0) != (o.height > 0)) {
        error = o.width > 0 ? "--width needs --height as well (or use --size WxH)"
                            : "--height needs --width as well (or use --size WxH)";
        return false;
    }
    if (o.shot && !o.capture.empty()) {
        error = "--shot and --capture cannot be combined";
        return false;
    }
    if (o.loop && (o.benchmark || o.shot || !o.capture.empty())) {
        error = "--loop plays without end: it cannot be combined with --shot, --capture or --benchmark";
        return false;
    }
    if (o.benchmark && (o.shot || !o.capture.empty())) {
        error = "--benchmark writes no frames: it cannot be combined with --shot or --capture";
        return false;
    }
    if (o.watch && o.dataDir.empty()) {
        error = "--watch needs --data DIR: the directory whose edits are rebuilt";
        return false;
    }
    if (!o.extract.empty() && !o.dataDir.empty()) {
        error = "--extract writes the archive's own members: it cannot be combined with --data";
        return false;
    }
    if (o.force && o.extract.empty()) {
        error = "--force only applies to --extract";
        return false;
    }
    if (o.to >= 0.0f && o.to <= o.from) {
        error = "--to must be later than --from";
        return false;
    }
    return true;
}

bool launcherWanted(const ShellOptions& o) {
    return o.launcher && !o.displayGiven && !o.headless && o.capture.empty() && !o.shot && !o.benchmark &&
           o.exportSong.empty() && o.extract.empty();
}
