// The five full-screen backgrounds. Each is designed for the screen (16:9),
// not for its 2:1 texture, and for what its scene puts over it: the green
// logo and its splat, the pink cubes, the rising primitive chains, the
// coloured ribbon trails over grey, and the dark ray swirl of the flowers.
#include "Generators.h"

#include <cmath>

namespace gen {
namespace {

constexpr float kScreenAspect = 16.0f / 9.0f;

// Screen-space coordinates: x across -aspect/2..aspect/2, y down -0.5..0.5.
template <typename F>
void paint(Image& img, F colour) {
    for (int j = 0; j < img.height(); ++j)
        for (int i = 0; i < img.width(); ++i) {
            float x = ((i + 0.5f) / img.width() - 0.5f) * kScreenAspect;
            float y = (j + 0.5f) / img.height() - 0.5f;
            img.set(i, j, colour(x, y, i, j));
        }
}

float grain(int i, int j, int seed) { return hash01(i, j, seed) - 0.5f; }

} // namespace

// Logo: aubergine dusk with a warm glow low in the middle, where the splat
// and the logo's floor line sit.
void makeBackground1(Image& img, const Context&) {
    paint(img, [](float x, float y, int i, int j) {
        float r = std::sqrt(x * x + (y - 0.12f) * (y - 0.12f) * 2.2f);
        Col c = mix(Col(art::kPlum) * 1.15f, Col(art::kNight), smooth(0.05f, 1.05f, r));
        float cloud = fbm(x * 2.2f, y * 3.0f, 1.3f, 6) * 0.5f + 0.5f;
        c += Col(art::kMagenta) * (0.10f * cloud * (1 - smooth(0.2f, 0.9f, r)));
        float band = std::exp(-std::pow((y - 0.16f) * 9, 2.0f)) * (1 - smooth(0.3f, 1.1f, std::fabs(x)));
        c = screen(c, Col(art::kOrange) * (0.22f * band));
        c += Col(1, 1, 1) * (0.012f * grain(i, j, 1));
        return c;
    });
}

// DanceCube: deep teal, the complement of the pink tiles, crossed by one soft
// diagonal light band and a faint halftone that catches the trails.
void makeBackground2(Image& img, const Context&) {
    paint(img, [](float x, float y, int i, int j) {
        float r = std::sqrt(x * x + y * y);
        Col c = mix(Col(art::kDeepTeal) * 1.5f, Col(0.005f, 0.015f, 0.02f), smooth(0.1f, 1.1f, r));
        float diag = x * 0.6f - y;
        c = screen(c, Col(art::kTeal) * (0.16f * std::exp(-diag * diag * 6)));
        float cell = 0.018f;
        float cx = std::fmod(x + 10, cell) / cell - 0.5f, cy = std::fmod(y + 10, cell) / cell - 0.5f;
        float dotR = 0.32f * smooth(0.9f, -0.3f, diag);
        float dot = smooth(dotR + 0.08f, dotR - 0.08f, std::sqrt(cx * cx + cy * cy));
        c += Col(art::kTeal) * (0.045f * dot);
        c += Col(1, 1, 1) * (0.04f * fbm(x * 3, y * 3, 7.1f, 5) * (1 - smooth(0.2f, 1.0f, r)));
        c += Col(1, 1, 1) * (0.01f * grain(i, j, 2));
        return c;
    });
}

// GrowPrimitives: night indigo above, plum below, with faint vertical
// streaks that the rising camera reads as speed, and sparse dust.
void makeBackground3(Image& img, const Context&) {
    paint(img, [](float x, float y, int i, int j) {
        Col c = mix(Col(art::kIndigo) * 0.8f, Col(art::kPlum) * 1.1f, smooth(-0.5f, 0.6f, y));
        float streak = fbm(x * 28, 0.3f, 2.0f, 3) * 0.5f + 0.5f;
        c += Col(art::kMagenta) * (0.05f * streak * streak * smooth(-0.5f, 0.5f, y));
        float side = smooth(0.3f, 0.9f, std::fabs(x));
        c = c * (1 - 0.45f * side);
        float speck = smooth(0.985f, 1.0f, hash01(i, j, 3));
        c += Col(art::kCream) * (0.35f * speck * (0.4f + 0.6f * (fbm(x * 4, y * 4, 3.3f, 3) * 0.5f + 0.5f)));
        c += Col(1, 1, 1) * (0.01f * grain(i, j, 4));
        return c;
    });
}

// Plates2: a warm grey ground, like pressed card, with one large faint
// circle so the shadows of the trails have something to fall across.
void makeBackground4(Image& img, const Context&) {
    paint(img, [](float x, float y, int i, int j) {
        float r = std::sqrt(x * x + y * y);
        Col c = mix(Col(0.62f, 0.6f, 0.58f), Col(0.38f, 0.36f, 0.37f), smooth(0.0f, 1.0f, r));
        float fibre = fbm(x * 9, y * 9, 4.4f, 6);
        float mottle = fbm(x * 1.6f, y * 1.6f, 9.9f, 4);
        c = c * (1 + 0.05f * fibre + 0.06f * mottle);
        float ring = std::exp(-std::pow((r - 0.36f) * 70, 2.0f)) + 0.5f * std::exp(-std::pow((r - 0.39f) * 90, 2.0f));
        c = c * (1 - 0.07f * ring);
        c += Col(art::kCream) * (0.03f * smooth(0.6f, 0.0f, r));
        c += Col(1, 1, 1) * (0.018f * grain(i, j, 5));
        return c;
    });
}

// ParticleFlower: dusty rose, lighter in the middle so the dark ray swirl
// and the purple flowers both read against it.
void makeBackground5(Image& img, const Context&) {
    paint(img, [](float x, float y, int i, int j) {
        float r = std::sqrt(x * x * 0.8f + y * y * 1.3f);
        Col c = mix(Col(0.86f, 0.62f, 0.58f), Col(0.4f, 0.16f, 0.27f), smooth(0.0f, 0.95f, r));
        float haze = fbm(x * 2.4f, y * 2.4f, 5.5f, 6) * 0.5f + 0.5f;
        c = screen(c, Col(art::kCream) * (0.12f * haze * (1 - smooth(0.1f, 0.7f, r))));
        c = c * (1 - 0.12f * smooth(0.2f, 0.8f, fbm(x * 1.1f + 3, y * 1.1f, 8.8f, 3) * 0.5f + 0.5f));
        c += Col(1, 1, 1) * (0.012f * grain(i, j, 6));
        return c;
    });
}

} // namespace gen
