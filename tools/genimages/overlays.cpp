// Images drawn blended over the scenes: the two vignettes (grey, so the
// engine's grey-to-alpha rule makes them darken only the borders), the splat
// behind the logo, the two flare sprites and the soft dust circle. Every
// additive sprite fades to pure black well inside its border, so rotated or
// scaled quads never show an edge.
#include "Generators.h"

#include <cmath>

namespace gen {
namespace {

constexpr float kPi = 3.14159265f;

// u, v in -1..1 over the image.
template <typename F>
void paintCentred(Image& img, F f) {
    for (int j = 0; j < img.height(); ++j)
        for (int i = 0; i < img.width(); ++i) {
            float u = (i + 0.5f) / img.width() * 2 - 1, v = (j + 0.5f) / img.height() * 2 - 1;
            f(i, j, u, v);
        }
}

// 1 inside radius 0.8 of the image, 0 at 0.97 and beyond.
float border(float u, float v) { return smooth(0.97f, 0.8f, std::sqrt(u * u + v * v)); }

} // namespace

// Round vignette: black over the middle half, rising to white in the corners.
void makeVignette(Image& img, const Context&) {
    paintCentred(img, [&](int i, int j, float u, float v) {
        float r = std::sqrt(u * u + v * v);
        float g = std::pow(smooth(0.42f, 1.38f, r), 1.15f);
        img.set(i, j, Col(g, g, g));
    });
}

// Rounded-rectangle vignette with a heavier lower edge, for the lighter
// flower background: it frames rather than spotlights.
void makeVignette2(Image& img, const Context&) {
    paintCentred(img, [&](int i, int j, float u, float v) {
        float p = 3.2f;
        float r = std::pow(std::pow(std::fabs(u), p) + std::pow(std::fabs(v * 1.06f), p), 1 / p);
        float g = smooth(0.5f, 1.08f, r) + 0.25f * smooth(0.2f, 1.0f, v) * smooth(0.2f, 1.0f, r);
        g = clamp01(g);
        img.set(i, j, Col(g, g, g));
    });
}

// Ink splash behind the logo. The quad is 1.5 times wider than high, so the
// texture is painted squeezed horizontally to look round on screen.
void makeLogoSplat(Image& img, const Context&) {
    paintCentred(img, [&](int i, int j, float u, float v) {
        float x = u * 1.5f, y = v;
        float r = std::sqrt(x * x + y * y), a = std::atan2(y, x);
        // Reach of the splash by direction: broad lobes plus thin spikes.
        float lobes = fbm(std::cos(a) * 2.5f, std::sin(a) * 2.5f, 0.7f, 4) * 0.5f + 0.5f;
        float spikes = std::fmax(0.0f, fbm(std::cos(a) * 14, std::sin(a) * 14, 3.1f, 3));
        float reach = 0.42f + 0.5f * lobes * lobes + 0.5f * spikes * spikes;
        float edge = fbm(x * 6, y * 6, 2.2f, 4) * 0.05f;
        float body = smooth(reach + 0.05f, reach - 0.12f, r + edge);
        float core = std::exp(-r * r * 9);
        // Droplets thrown past the splash's rim.
        float drops = 0;
        for (int k = 0; k < 48; ++k) {
            float da = hash01(k, 1, 77) * 2 * kPi, dr = 0.55f + 0.4f * hash01(k, 2, 77);
            float size = 0.008f + 0.03f * hash01(k, 3, 77) * hash01(k, 4, 77);
            float dx = x - std::cos(da) * dr, dy = y - std::sin(da) * dr;
            drops = std::fmax(drops, smooth(size + 0.01f, size - 0.005f, std::sqrt(dx * dx + dy * dy)));
        }
        float mass = std::fmax(body * 0.7f, drops * 0.55f);
        float q = clamp01(r / reach);
        Col c = mix(Col(art::kPink), Col(art::kMagenta) * 0.8f, q) * (mass * 0.95f);
        c = screen(c, Col(art::kOrange) * (core * 0.55f));
        c = screen(c, Col(art::kYellow) * (std::exp(-r * r * 40) * 0.45f));
        c = c * (0.8f + 0.2f * (fbm(x * 14, y * 14, 9.1f, 3) * 0.5f + 0.5f));
        c = c * smooth(1.0f, 0.9f, std::fmax(std::fabs(u), std::fabs(v)));
        img.set(i, j, c);
    });
}

// The production's own flare: a soft, warm glow with no edge of its own, a
// pale amber core inside a pink halo and a faint orange bokeh ring, so the
// additive flares read as coloured light rather than shapes.
void makeEmberFlare(Image& img, const Context&) {
    paintCentred(img, [&](int i, int j, float u, float v) {
        float r2 = u * u + v * v, r = std::sqrt(r2);
        float core = std::exp(-r2 * 10), halo = std::exp(-r2 * 2.5f);
        float ring = std::exp(-std::pow((r - 0.5f) * 8, 2.0f));
        Col c = Col(1, 0.88f, 0.7f) * (core * 0.9f) + Col(art::kPink) * (halo * 0.8f) +
                Col(art::kOrange) * (ring * halo * 0.4f);
        c = c * border(u, v);
        img.set(i, j, c);
    });
}

// Large round glow: a hot core inside a wide, slightly warm halo.
void makeGlowFlare(Image& img, const Context&) {
    paintCentred(img, [&](int i, int j, float u, float v) {
        float r2 = u * u + v * v;
        float core = std::exp(-r2 * 30), halo = std::exp(-r2 * 4.5f);
        Col c = Col(1, 0.97f, 0.92f) * core + Col(0.75f, 0.62f, 0.7f) * (halo * 0.6f);
        c = c * border(u, v);
        img.set(i, j, c);
    });
}

// White dust mote: alpha is a soft disc with a faintly brighter rim, like an
// out-of-focus speck; colour stays white everywhere so filtering never
// darkens the fringe.
void makeSoftCircle(Image& img, const Context&) {
    paintCentred(img, [&](int i, int j, float u, float v) {
        float r = std::sqrt(u * u + v * v);
        float disc = smooth(0.92f, 0.62f, r);
        float rim = 0.25f * std::exp(-std::pow((r - 0.72f) * 9, 2.0f));
        img.set(i, j, Col(1, 1, 1), clamp01(disc * 0.75f + rim * disc + 0.2f * smooth(0.6f, 0.0f, r)));
    });
}

} // namespace gen
