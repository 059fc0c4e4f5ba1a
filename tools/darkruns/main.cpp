// darkruns: lists the dark stretches of the programme. It reads a capture
// directory (frame_000000.png, ... as `zephran --capture DIR` writes them),
// or first makes one by running the demo headless, then prints every run of
// frames whose mean brightness lies below the threshold, with its song times,
// how many of its frames are blank (no pixel even dimly lit, as opposed to
// type or sparks on a dark ground) and the timeline spans it falls in.
//
//   darkruns [options] DIR
//   darkruns [options] --run ZEPHRAN [--keep DIR]
//
// Exit status 0 when every frame was read (and the capture ran cleanly),
// 1 when a run is longer than --fail-over, 2 on bad usage or unreadable input.
#include "CaptureFrames.h"
#include "DarkRuns.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "effects/BeatClock.h"
#include "shell/Timeline.h"

namespace {

struct Options {
    std::string dir;
    std::string zephran; // set: capture first
    bool keep = false;
    double fps = 10.0;
    double from = 0.0;
    double to = -1.0; // capture end, ms; < 0: the programme's end
    std::string size = "320x180";
    double threshold = 8.0;  // mean brightness of 255
    double blankPeak = 32.0; // a frame whose brightest pixel stays below this is blank
    double failOver = -1.0;  // ms; < 0: never fail on a run's length
};

void usage() {
    std::fprintf(stderr,
                 "usage: darkruns [options] DIR\n"
                 "       darkruns [options] --run ZEPHRAN [--keep DIR]\n"
                 "  DIR               capture directory of frame_NNNNNN.png\n"
                 "  --run ZEPHRAN     capture the programme headless with this executable first\n"
                 "  --keep DIR        capture into DIR and keep it (default: a temporary directory)\n"
                 "  --size WxH        capture size (320x180)\n"
                 "  --fps N           frames per second of the capture (10)\n"
                 "  --from MS         song time of the first frame (0)\n"
                 "  --to MS           end of the capture (the programme's end)\n"
                 "  --threshold V     a frame is dark when its mean brightness is below V of 255 (8)\n"
                 "  --blank V         a dark frame is blank when no pixel reaches V (32)\n"
                 "  --fail-over MS    exit 1 when a dark run lasts longer than MS\n");
}

bool parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        auto number = [&](double& out) { return captureframes::parseNumber(argv[++i], out); };
        if (a == "--run" && hasValue)
            o.zephran = argv[++i];
        else if (a == "--keep" && hasValue) {
            o.dir = argv[++i];
            o.keep = true;
        } else if (a == "--size" && hasValue)
            o.size = argv[++i];
        else if (a == "--fps" && hasValue) {
            if (!number(o.fps) || o.fps <= 0) return false;
        } else if (a == "--from" && hasValue) {
            if (!number(o.from) || o.from < 0) return false;
        } else if (a == "--to" && hasValue) {
            if (!number(o.to)) return false;
        } else if (a == "--threshold" && hasValue) {
            if (!number(o.threshold)) return false;
        } else if (a == "--blank" && hasValue) {
            if (!number(o.blankPeak)) return false;
        } else if (a == "--fail-over" && hasValue) {
            if (!number(o.failOver)) return false;
        } else if (!a.empty() && a[0] != '-' && o.dir.empty())
            o.dir = a;
        else
            return false;
    }
    return o.zephran.empty() ? !o.dir.empty() : true;
}

// Single-quoted for the shell: no character of `s` is interpreted.
std::string quoted(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

bool capture(Options& o) {
    if (o.dir.empty()) {
        char pattern[] = "/tmp/darkruns.XXXXXX";
        if (!mkdtemp(pattern)) {
            std::fprintf(stderr, "darkruns: no temporary directory: %s\n", std::strerror(errno));
            return false;
        }
        o.dir = pattern;
    } else if (mkdir(o.dir.c_str(), 0777) != 0 && errno != EEXIST) {
        std::fprintf(stderr, "darkruns: cannot make %s: %s\n", o.dir.c_str(), std::strerror(errno));
        return false;
    }
    char range[96];
    std::snprintf(range, sizeof range, " --fps %g --from %g", o.fps, o.from);
    std::string command = quoted(o.zephran) + " --headless --size " + quoted(o.size) + range;
    if (o.to >= 0) command += " --to " + std::to_string(o.to);
    command += " --capture " + quoted(o.dir);
    std::fprintf(stderr, "darkruns: %s\n", command.c_str());
    const int status = std::system(command.c_str());
    if (status != 0) {
        std::fprintf(stderr, "darkruns: the capture ended with status %d\n", status);
        return false;
    }
    return true;
}

void removeCapture(const Options& o, int frames) {
    for (int k = 0; k < frames; ++k) std::remove(captureframes::frameName(o.dir, k).c_str());
    rmdir(o.dir.c_str());
}

// The names of the timeline spans that overlap [a, b] ms, "+" between them.
std::string spansOver(const std::vector<TimelineSpan>& spans, double a, double b) {
    std::string names;
    for (const TimelineSpan& s : spans) {
        if (s.end <= a || s.start > b) continue;
        if (!names.empty()) names += " + ";
        names += s.name;
    }
    return names.empty() ? "after the programme" : names;
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    if (!parse(argc, argv, o)) {
        usage();
        return 2;
    }
    const bool captured = !o.zephran.empty();
    bool clean = true;
    if (captured && !capture(o)) clean = false;

    std::vector<darkruns::Level> levels;
    captureframes::readFrames(o.dir, [&](const unsigned char* pixels, int w, int h, int channels) {
        levels.push_back(darkruns::frameLevel(pixels, w, h, channels));
    });
    if (captured && !o.keep) removeCapture(o, static_cast<int>(levels.size()));
    if (levels.empty()) {
        std::fprintf(stderr, "darkruns: no frames (frame_000000.png ...) in %s\n", o.dir.c_str());
        return 2;
    }

    const double step = 1000.0 / o.fps;
    const std::vector<TimelineSpan> spans = timelineSpans(BeatClock(129.5f, 350));
    const std::vector<darkruns::Run> runs = darkruns::findDarkRuns(levels, o.threshold, o.blankPeak);
    std::printf("darkruns: %zu frames at %g fps from %.0f ms, dark below %.1f of 255\n", levels.size(), o.fps, o.from,
                o.threshold);
    double longest = 0.0;
    bool tooLong = false;
    for (const darkruns::Run& r : runs) {
        const double a = o.from + r.first * step, b = o.from + (r.last + 1) * step;
        const double length = b - a;
        longest = std::max(longest, length);
        if (o.failOver >= 0 && length > o.failOver) tooLong = true;
        std::printf("  %8.3f s - %8.3f s  %6.2f s  %4d frames (%4d blank)  darkest %5.1f  %s\n", a / 1000.0, b / 1000.0,
                    length / 1000.0, r.length(), r.blank, r.darkest, spansOver(spans, a, b - step).c_str());
    }
    std::printf("darkruns: %zu dark runs, longest %.2f s\n", runs.size(), longest / 1000.0);
    if (!clean) return 2;
    return tooLong ? 1 : 0;
}
