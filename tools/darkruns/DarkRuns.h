// Dark runs of a frame sequence: consecutive frames whose mean brightness
// lies below a threshold, found from the per-frame means of a capture.
#pragma once

#include <vector>

namespace darkruns {

// Mean brightness 0..255 of an 8-bit picture of `channels` (1 grey, 2 grey and
// alpha, 3 RGB, 4 RGBA) components per pixel: Rec. 709 luma of the colour,
// alpha ignored. An empty picture has mean 0.
double meanBrightness(const unsigned char* pixels, int width, int height, int channels);

struct Run {
    int first, last;   // frame indexes, inclusive
    double darkest;    // lowest mean inside the run
    int length() const { return last - first + 1; }
};

// Every maximal run of frames with mean < threshold, in frame order.
std::vector<Run> findDarkRuns(const std::vector<double>& means, double threshold);

} // namespace darkruns
