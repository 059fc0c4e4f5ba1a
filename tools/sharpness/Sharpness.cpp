// Laplacian sharpness scores and soft runs.
#include "Sharpness.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace sharpness {

namespace {

std::vector<double> luma(const unsigned char* pixels, int width, int height, int channels) {
    std::vector<double> y(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < y.size(); ++i) {
        const unsigned char* p = pixels + i * channels;
        y[i] = channels >= 3 ? 0.2126 * p[0] + 0.7152 * p[1] + 0.0722 * p[2] : p[0];
    }
    return y;
}

} // namespace

Score frameScore(const unsigned char* pixels, int width, int height, int channels) {
    Score score;
    if (!pixels || width < 3 || height < 3) return score;
    const std::vector<double> y = luma(pixels, width, height, channels);
    const int tilesX = width / kTile, tilesY = height / kTile;
    std::vector<double> tiles(static_cast<size_t>(tilesX) * tilesY, 0.0);
    double sum = 0.0;
    for (int j = 1; j < height - 1; ++j)
        for (int i = 1; i < width - 1; ++i) {
            const size_t at = static_cast<size_t>(j) * width + i;
            const double l = std::fabs(4.0 * y[at] - y[at - 1] - y[at + 1] - y[at - width] - y[at + width]);
            sum += l;
            const int tx = i / kTile, ty = j / kTile;
            if (tx < tilesX && ty < tilesY) tiles[static_cast<size_t>(ty) * tilesX + tx] += l;
        }
    score.overall = sum / (static_cast<double>(width - 2) * (height - 2));
    if (tiles.empty()) return score;
    // A tile's mean is over its inner pixels only where it touches the border.
    for (int ty = 0; ty < tilesY; ++ty)
        for (int tx = 0; tx < tilesX; ++tx) {
            const int w = kTile - (tx == 0) - (tx == (width - 1) / kTile ? 1 : 0);
            const int h = kTile - (ty == 0) - (ty == (height - 1) / kTile ? 1 : 0);
            tiles[static_cast<size_t>(ty) * tilesX + tx] /= static_cast<double>(w) * h;
        }
    const size_t count = std::max<size_t>(1, tiles.size() / 10);
    std::partial_sort(tiles.begin(), tiles.begin() + count, tiles.end(), std::greater<double>());
    double top = 0.0;
    for (size_t k = 0; k < count; ++k) top += tiles[k];
    score.peak = top / count;
    return score;
}

std::vector<Run> softRuns(const std::vector<Score>& scores, double threshold) {
    std::vector<Run> runs;
    for (int k = 0; k < static_cast<int>(scores.size()); ++k) {
        if (scores[k].peak >= threshold) continue;
        if (!runs.empty() && runs.back().last == k - 1)
            runs.back().last = k;
        else
            runs.push_back(Run{k, k});
    }
    return runs;
}

} // namespace sharpness
