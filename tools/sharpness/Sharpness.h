// Sharpness of a picture: how much fine detail its sharpest region holds
// and how much the whole frame holds, from the mean absolute Laplacian of
// its luma, and the runs of frames in which no region is sharp.
#pragma once

#include <vector>

namespace sharpness {

struct Score {
    double peak = 0.0;    // mean |Laplacian| over the sharpest tenth of the 16x16 tiles
    double overall = 0.0; // mean |Laplacian| over the whole frame
};

constexpr int kTile = 16;

// The score of an 8-bit picture of `channels` (1 grey, 2 grey and alpha,
// 3 RGB, 4 RGBA) components per pixel. The Laplacian is the 4-neighbour one
// of Rec. 709 luma (0..255) at every pixel with four neighbours; tiles are
// the whole 16x16 blocks (the picture's right and bottom remainders count in
// the overall mean only); at least one tile makes up the tenth. A picture
// smaller than 3x3 scores 0.
Score frameScore(const unsigned char* pixels, int width, int height, int channels);

struct Run {
    int first, last; // frame indexes, inclusive
    int length() const { return last - first + 1; }
};

// Every maximal run of frames whose peak lies below `threshold`, in order.
std::vector<Run> softRuns(const std::vector<Score>& scores, double threshold);

} // namespace sharpness
