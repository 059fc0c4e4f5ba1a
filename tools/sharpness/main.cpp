// sharpness: scores a capture directory (frame_000000.png, ... as
// `zephran --capture DIR` writes them) for sharpness. For every effect of
// the timeline it prints the mean and lowest score of its sharpest region
// (the peak: mean absolute Laplacian of the sharpest tenth of 16x16 tiles)
// and the whole-frame mean, then every run of frames whose peak lies below
// the threshold: stretches where no region of the picture is sharp.
//
//   sharpness [--fps N] [--from MS] [--threshold V] [--frames] [--fail-over MS] DIR
//
// Exit status 0, 1 when a soft run lasts longer than --fail-over, 2 on bad
// usage or when no frame can be read.
#include "CaptureFrames.h"
#include "Sharpness.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "effects/BeatClock.h"
#include "shell/Timeline.h"

namespace {

struct Options {
    std::string dir;
    double fps = 1.0;
    double from = 0.0;
    double threshold = 6.0;
    double failOver = -1.0;
    bool frames = false;
};

void usage() {
    std::fprintf(stderr,
                 "usage: sharpness [options] DIR\n"
                 "  DIR               capture directory of frame_NNNNNN.png\n"
                 "  --fps N           frames per second of the capture (1)\n"
                 "  --from MS         song time of the first frame (0)\n"
                 "  --threshold V     a frame is soft when its sharpest region scores below V (6)\n"
                 "  --frames          print every frame's scores\n"
                 "  --fail-over MS    exit 1 when a soft run lasts longer than MS\n");
}

bool parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        auto number = [&](double& out) { return captureframes::parseNumber(argv[++i], out); };
        if (a == "--fps" && hasValue) {
            if (!number(o.fps) || o.fps <= 0) return false;
        } else if (a == "--from" && hasValue) {
            if (!number(o.from) || o.from < 0) return false;
        } else if (a == "--threshold" && hasValue) {
            if (!number(o.threshold)) return false;
        } else if (a == "--fail-over" && hasValue) {
            if (!number(o.failOver)) return false;
        } else if (a == "--frames")
            o.frames = true;
        else if (!a.empty() && a[0] != '-' && o.dir.empty())
            o.dir = a;
        else
            return false;
    }
    return !o.dir.empty();
}

// The name of the topmost span drawn at song time t ("-" outside them all).
std::string spanAt(const std::vector<TimelineSpan>& spans, double t) {
    const TimelineSpan* top = nullptr;
    for (const TimelineSpan& s : spans)
        if (s.start <= t && t < s.end && (!top || s.layer >= top->layer)) top = &s;
    return top ? top->name : "-";
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    if (!parse(argc, argv, o)) {
        usage();
        return 2;
    }
    std::vector<sharpness::Score> scores;
    captureframes::readFrames(o.dir, [&](const unsigned char* pixels, int w, int h, int channels) {
        scores.push_back(sharpness::frameScore(pixels, w, h, channels));
    });
    if (scores.empty()) {
        std::fprintf(stderr, "sharpness: no frames (frame_000000.png ...) in %s\n", o.dir.c_str());
        return 2;
    }
    const double step = 1000.0 / o.fps;
    auto timeOf = [&](int k) { return o.from + k * step; };
    const std::vector<TimelineSpan> spans = timelineSpans(BeatClock(129.5f, 350));

    std::printf("sharpness: %zu frames at %g fps from %.0f ms, soft below %.1f\n", scores.size(), o.fps, o.from,
                o.threshold);
    if (o.frames)
        for (size_t k = 0; k < scores.size(); ++k)
            std::printf("  %8.3f s  peak %6.2f  overall %6.2f  %s\n", timeOf(static_cast<int>(k)) / 1000.0,
                        scores[k].peak, scores[k].overall, spanAt(spans, timeOf(static_cast<int>(k))).c_str());

    const std::vector<sharpness::Run> runs = sharpness::softRuns(scores, o.threshold);
    std::printf("  %-16s %6s %10s %10s %12s %10s\n", "effect", "frames", "peak mean", "peak min", "overall mean",
                "soft s");
    for (const TimelineSpan& s : spans) {
        int n = 0, soft = 0;
        double peak = 0.0, low = 1e300, overall = 0.0;
        for (size_t k = 0; k < scores.size(); ++k) {
            const double t = timeOf(static_cast<int>(k));
            if (spanAt(spans, t) != s.name) continue;
            ++n;
            peak += scores[k].peak;
            low = std::min(low, scores[k].peak);
            overall += scores[k].overall;
            soft += scores[k].peak < o.threshold;
        }
        if (n == 0) continue;
        std::printf("  %-16s %6d %10.2f %10.2f %12.2f %10.1f\n", s.name, n, peak / n, low, overall / n,
                    soft * step / 1000.0);
    }
    double longest = 0.0;
    for (const sharpness::Run& r : runs) {
        const double a = timeOf(r.first), b = timeOf(r.last + 1);
        longest = std::max(longest, b - a);
        std::printf("  soft %8.3f s - %8.3f s  %6.2f s  %s\n", a / 1000.0, b / 1000.0, (b - a) / 1000.0,
                    spanAt(spans, a).c_str());
    }
    std::printf("sharpness: %zu soft runs, longest %.2f s\n", runs.size(), longest / 1000.0);
    return o.failOver >= 0 && longest > o.failOver ? 1 : 0;
}
