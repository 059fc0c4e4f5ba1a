// Float image, shading helpers and the PNG/JPEG writer of the image generators.
#include "Image.h"

#include <jpeglib.h>
#include <stb_image_write.h>
#include <stb_perlin.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace gen {

float clamp01(float x) { return x < 0 ? 0 : (x > 1 ? 1 : x); }
float mix(float a, float b, float t) { return a + (b - a) * t; }
Col mix(const Col& a, const Col& b, float t) { return a + (b - a) * t; }

float smooth(float lo, float hi, float x) {
    float t = clamp01((x - lo) / (hi - lo));
    return t * t * (3 - 2 * t);
}

Col screen(const Col& a, const Col& b) {
    return {1 - (1 - a.r) * (1 - clamp01(b.r)), 1 - (1 - a.g) * (1 - clamp01(b.g)), 1 - (1 - a.b) * (1 - clamp01(b.b))};
}

float fbm(float x, float y, float z, int octaves, int wrapX, int wrapY) {
    float sum = 0, amp = 0.5f, norm = 0;
    int wx = wrapX, wy = wrapY;
    for (int i = 0; i < octaves; ++i) {
        sum += amp * stb_perlin_noise3(x, y, z, wx, wy, 0);
        norm += amp;
        x *= 2;
        y *= 2;
        z *= 2;
        wx *= 2;
        wy *= 2;
        amp *= 0.5f;
    }
    return sum / norm * 1.4f;
}

float ridged(float x, float y, float z, int octaves) {
    return clamp01(stb_perlin_ridge_noise3(x, y, z, 2.0f, 0.5f, 1.0f, octaves) * 0.5f);
}

float hash01(int x, int y, int seed) {
    uint32_t h = static_cast<uint32_t>(x) * 0x8da6b343u ^ static_cast<uint32_t>(y) * 0xd8163841u ^
                 static_cast<uint32_t>(seed) * 0xcb1ab31fu;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return (h & 0xffffff) / 16777215.0f;
}

namespace {

// libjpeg rather than stb: stb_image_write always stores three components,
// and a grey image must stay one channel for the grey-to-alpha rule.
bool writeJpeg(const std::string& path, int w, int h, int c, const unsigned char* bytes, int quality) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    jpeg_compress_struct info;
    jpeg_error_mgr err;
    info.err = jpeg_std_error(&err);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, f);
    info.image_width = w;
    info.image_height = h;
    info.input_components = c;
    info.in_color_space = c == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    info.optimize_coding = TRUE;
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<unsigned char*>(bytes + static_cast<size_t>(info.next_scanline) * w * c);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(f) == 0;
}

} // namespace

Image::Image(int width, int height, int channels)
    : w_(width), h_(height), c_(channels), px_(static_cast<size_t>(width) * height * channels, 0.0f) {}

void Image::set(int x, int y, const Col& c, float alpha) {
    float* p = at(x, y);
    if (c_ == 1) {
        p[0] = c.r;
        return;
    }
    p[0] = c.r;
    p[1] = c.g;
    p[2] = c.b;
    if (c_ == 4) p[3] = alpha;
}

void Image::blurChannel(int ch, int radius) {
    if (radius <= 0) return;
    std::vector<float> line(std::max(w_, h_));
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < h_; ++y) {
            float acc = 0;
            for (int x = -radius; x <= radius; ++x) acc += at(std::clamp(x, 0, w_ - 1), y)[ch];
            for (int x = 0; x < w_; ++x) {
                line[x] = acc / (2 * radius + 1);
                acc += at(std::min(x + radius + 1, w_ - 1), y)[ch] - at(std::max(x - radius, 0), y)[ch];
            }
            for (int x = 0; x < w_; ++x) at(x, y)[ch] = line[x];
        }
        for (int x = 0; x < w_; ++x) {
            float acc = 0;
            for (int y = -radius; y <= radius; ++y) acc += at(x, std::clamp(y, 0, h_ - 1))[ch];
            for (int y = 0; y < h_; ++y) {
                line[y] = acc / (2 * radius + 1);
                acc += at(x, std::min(y + radius + 1, h_ - 1))[ch] - at(x, std::max(y - radius, 0))[ch];
            }
            for (int y = 0; y < h_; ++y) at(x, y)[ch] = line[y];
        }
    }
}

bool Image::write(const std::string& path) const {
    // 4x4 Bayer dither of half a code value: enough to break 8-bit bands in the
    // slow gradients without adding visible noise.
    static const int bayer[16] = {0, 8, 2, 10, 12, 4, 14, 6, 3, 11, 1, 9, 15, 7, 13, 5};
    std::vector<unsigned char> bytes(px_.size());
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x) {
            float d = (bayer[(y & 3) * 4 + (x & 3)] + 0.5f) / 16.0f - 0.5f;
            for (int c = 0; c < c_; ++c) {
                size_t i = (static_cast<size_t>(y) * w_ + x) * c_ + c;
                float v = clamp01(px_[i]) * 255.0f + d;
                bytes[i] = static_cast<unsigned char>(std::clamp(static_cast<int>(std::lround(v)), 0, 255));
            }
        }
    bool jpeg = path.size() > 4 && path.compare(path.size() - 4, 4, ".jpg") == 0;
    if (jpeg) return c_ != 4 && writeJpeg(path, w_, h_, c_, bytes.data(), 92);
    stbi_write_png_compression_level = 9;
    return stbi_write_png(path.c_str(), w_, h_, c_, bytes.data(), w_ * c_) != 0;
}

} // namespace gen
