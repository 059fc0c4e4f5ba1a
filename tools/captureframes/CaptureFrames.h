// Reading a capture directory (frame_000000.png, ... as `zephran --capture
// DIR` writes them) for the tools that judge a capture frame by frame.
#pragma once

#include <functional>
#include <string>

namespace captureframes {

// DIR/frame_NNNNNN.png of frame k.
std::string frameName(const std::string& dir, int k);

// Calls `frame` with the 8-bit pixels (rows top first, `channels` per pixel)
// of frames 0, 1, ... up to the first that is missing or unreadable, and
// returns how many it read.
int readFrames(const std::string& dir,
               const std::function<void(const unsigned char* pixels, int width, int height, int channels)>& frame);

// The whole of `text` as a finite number.
bool parseNumber(const char* text, double& out);

} // namespace captureframes
