// Per-frame brightness and the runs of dark frames.
#include "DarkRuns.h"

#include <algorithm>

namespace darkruns {

Level frameLevel(const unsigned char* pixels, int width, int height, int channels) {
    Level level;
    const long long count = static_cast<long long>(width) * height;
    if (count <= 0) return level;
    double sum = 0.0;
    for (long long i = 0; i < count; ++i) {
        const unsigned char* p = pixels + i * channels;
        const double luma = channels >= 3 ? 0.2126 * p[0] + 0.7152 * p[1] + 0.0722 * p[2] : p[0];
        sum += luma;
        level.peak = std::max(level.peak, luma);
    }
    level.mean = sum / count;
    return level;
}

std::vector<Run> findDarkRuns(const std::vector<Level>& levels, double threshold, double blankPeak) {
    std::vector<Run> runs;
    for (int i = 0; i < static_cast<int>(levels.size()); ++i) {
        const Level& l = levels[i];
        if (!(l.mean < threshold)) continue;
        if (runs.empty() || runs.back().last != i - 1) runs.push_back(Run{i, i, l.mean, 0});
        Run& run = runs.back();
        run.last = i;
        run.darkest = std::min(run.darkest, l.mean);
        run.blank += l.peak < blankPeak;
    }
    return runs;
}

} // namespace darkruns
