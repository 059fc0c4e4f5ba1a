// Per-frame brightness and the runs of dark frames.
#include "DarkRuns.h"

#include <algorithm>

namespace darkruns {

double meanBrightness(const unsigned char* pixels, int width, int height, int channels) {
    const long long count = static_cast<long long>(width) * height;
    if (count <= 0) return 0.0;
    double sum = 0.0;
    for (long long i = 0; i < count; ++i) {
        const unsigned char* p = pixels + i * channels;
        if (channels >= 3)
            sum += 0.2126 * p[0] + 0.7152 * p[1] + 0.0722 * p[2];
        else
            sum += p[0];
    }
    return sum / count;
}

std::vector<Run> findDarkRuns(const std::vector<double>& means, double threshold) {
    std::vector<Run> runs;
    for (int i = 0; i < static_cast<int>(means.size()); ++i) {
        if (!(means[i] < threshold)) continue;
        if (!runs.empty() && runs.back().last == i - 1) {
            runs.back().last = i;
            runs.back().darkest = std::min(runs.back().darkest, means[i]);
        } else {
            runs.push_back(Run{i, i, means[i]});
        }
    }
    return runs;
}

} // namespace darkruns
