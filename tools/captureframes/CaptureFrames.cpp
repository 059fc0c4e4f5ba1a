// Capture directory frames and number options.
#include "CaptureFrames.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include <stb_image.h>

namespace captureframes {

std::string frameName(const std::string& dir, int k) {
    char name[32];
    std::snprintf(name, sizeof name, "/frame_%06d.png", k);
    return dir + name;
}

int readFrames(const std::string& dir,
               const std::function<void(const unsigned char* pixels, int width, int height, int channels)>& frame) {
    for (int k = 0;; ++k) {
        int w = 0, h = 0, channels = 0;
        unsigned char* pixels = stbi_load(frameName(dir, k).c_str(), &w, &h, &channels, 0);
        if (!pixels) return k;
        frame(pixels, w, h, channels);
        stbi_image_free(pixels);
    }
}

bool parseNumber(const char* text, double& out) {
    char* end = nullptr;
    out = std::strtod(text, &end);
    return end != text && end && *end == 0 && std::isfinite(out);
}

} // namespace captureframes
