// Float image and the small shading toolkit the image generators share:
// colour arithmetic, easing, seeded noise and grain, separable blur, and the
// writer that turns the floats into the PNG or JPEG the archive holds.
#pragma once

#include "data/art/palette.h"

#include <cstdint>
#include <string>
#include <vector>

namespace gen {

struct Col {
    float r = 0, g = 0, b = 0;
    Col() = default;
    Col(float r_, float g_, float b_) : r(r_), g(g_), b(b_) {}
    Col(const art::Rgb& c) : r(c.r), g(c.g), b(c.b) {}
    Col operator+(const Col& o) const { return {r + o.r, g + o.g, b + o.b}; }
    Col operator-(const Col& o) const { return {r - o.r, g - o.g, b - o.b}; }
    Col operator*(const Col& o) const { return {r * o.r, g * o.g, b * o.b}; }
    Col operator*(float s) const { return {r * s, g * s, b * s}; }
    Col& operator+=(const Col& o) {
        r += o.r;
        g += o.g;
        b += o.b;
        return *this;
    }
};

float clamp01(float x);
float mix(float a, float b, float t);
Col mix(const Col& a, const Col& b, float t);
float smooth(float lo, float hi, float x); // smoothstep, lo may exceed hi
// Screen blend: brightens a by b without passing 1.
Col screen(const Col& a, const Col& b);

// Perlin fBm in -1..1 (roughly). The period arguments make it wrap in x and y
// (0 = no wrap); a wrapping image samples at coordinates scaled by the period.
float fbm(float x, float y, float z, int octaves, int wrapX = 0, int wrapY = 0);
// Ridged fBm in 0..1: sharp bright creases, for veins and filaments.
float ridged(float x, float y, float z, int octaves);
// Deterministic white noise in 0..1 from integer coordinates and a seed.
float hash01(int x, int y, int seed);

// Channels 1 (grey), 3 (RGB) or 4 (RGBA), values 0..1, rows top first.
class Image {
public:
    Image(int width, int height, int channels);
    int width() const { return w_; }
    int height() const { return h_; }
    int channels() const { return c_; }
    float* at(int x, int y) { return &px_[(static_cast<size_t>(y) * w_ + x) * c_]; }
    const float* at(int x, int y) const { return &px_[(static_cast<size_t>(y) * w_ + x) * c_]; }
    void set(int x, int y, const Col& c, float alpha = 1.0f);
    // Box-blurs channel ch (three passes approximate a Gaussian of that radius).
    void blurChannel(int ch, int radius);
    // Writes a PNG or JPEG chosen by the file name's extension; a small fixed
    // dither keeps gradients free of bands. Returns false with errno-style
    // failure reported by the caller.
    bool write(const std::string& path) const;

private:
    int w_, h_, c_;
    std::vector<float> px_;
};

} // namespace gen
