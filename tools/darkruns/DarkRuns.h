// Dark runs of a frame sequence: consecutive frames whose mean brightness
// lies below a threshold, found from the per-frame means of a capture.
#pragma once

#include <vector>

namespace darkruns {

// Brightness 0..255 of a frame: Rec. 709 luma of each pixel's colour, alpha
// ignored, averaged and at its brightest.
struct Level {
    double mean = 0.0;
    double peak = 0.0;
};

// The level of an 8-bit picture of `channels` (1 grey, 2 grey and alpha,
// 3 RGB, 4 RGBA) components per pixel. An empty picture is all 0.
Level frameLevel(const unsigned char* pixels, int width, int height, int channels);

struct Run {
    int first, last; // frame indexes, inclusive
    double darkest;  // lowest mean inside the run
    int blank;       // frames of the run with no pixel at blankPeak or above: black,
                     // as opposed to dark frames where type or sparks still show
    int length() const { return last - first + 1; }
};

// Every maximal run of frames with mean < threshold, in frame order.
std::vector<Run> findDarkRuns(const std::vector<Level>& levels, double threshold, double blankPeak);

} // namespace darkruns
