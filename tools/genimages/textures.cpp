// Surface textures: the turning floor under the plates (a record-like disc,
// since it spins), the ribbon texture of the walker trails (two variants side
// by side, running along t), the seamlessly tiling skin of the flower tubes,
// and the translucent picture layer that pans behind the sliced sphere.
#include "Generators.h"

#include <stb_perlin.h>

#include <cmath>

namespace gen {
namespace {

constexpr float kPi = 3.14159265f;

float ring(float r, float centre, float width) { return smooth(width, 0.0f, std::fabs(r - centre)); }

} // namespace

// Light disc with grooves, tick rings and a label: reads well tinted red and
// under moving shadows, and shows the floor's spin.
void makeFloorLayer(Image& img, const Context&) {
    int n = img.width();
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            float u = (i + 0.5f) / n * 2 - 1, v = (j + 0.5f) / n * 2 - 1;
            float r = std::sqrt(u * u + v * v), a = std::atan2(v, u);
            float g = 0.82f;
            float grooves = 0.5f + 0.5f * std::sin(r * 260);
            g -= 0.07f * grooves * smooth(0.3f, 0.34f, r) * smooth(0.93f, 0.9f, r);
            for (int k = 0; k < 4; ++k) g -= 0.22f * ring(r, 0.45f + 0.12f * k, 0.004f);
            float ticks = std::fabs(std::fmod(a / (2 * kPi) * 72 + 100, 1.0f) - 0.5f);
            g -= 0.35f * smooth(0.08f, 0.04f, ticks) * smooth(0.955f, 0.95f, r) * smooth(0.915f, 0.92f, r);
            float longTicks = std::fabs(std::fmod(a / (2 * kPi) * 12 + 100, 1.0f) - 0.5f);
            g -= 0.4f * smooth(0.03f, 0.015f, longTicks) * smooth(0.975f, 0.97f, r) * smooth(0.9f, 0.905f, r);
            float label = smooth(0.305f, 0.295f, r);
            g = mix(g, 0.35f, label);
            g = mix(g, 0.9f, ring(r, 0.2f, 0.01f) * label);
            g = mix(g, 0.1f, smooth(0.04f, 0.03f, r));
            g = mix(g, 0.55f, smooth(0.98f, 1.0f, r));
            g *= 1 + 0.05f * fbm(u * 6, v * 6, 3.0f, 5);
            Col c(g, g * 0.98f, g * 0.96f);
            img.set(i, j, c);
        }
}

// Left half: tape with diagonal stripes; right half: a brushed band with two
// edge lines and a dashed centre. t runs along the ribbon, so the pattern is
// laid out along y.
void makeTrailTexture(Image& img, const Context&) {
    int w = img.width(), h = img.height();
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            float s = (i + 0.5f) / w, t = (j + 0.5f) / h;
            float g;
            if (s < 0.5f) {
                float x = s * 2;
                float stripe = std::fmod(x * 3 + t * 24 + 10, 1.0f);
                g = 0.92f - 0.28f * smooth(0.45f, 0.5f, stripe) * smooth(1.0f, 0.95f, stripe);
                g -= 0.25f * (smooth(0.08f, 0.05f, x) + smooth(0.92f, 0.95f, x));
            } else {
                float x = (s - 0.5f) * 2;
                g = 0.85f + 0.06f * fbm(x * 40, t * 3, 1.5f, 4);
                g -= 0.3f * (ring(x, 0.15f, 0.025f) + ring(x, 0.85f, 0.025f));
                float dash = std::fmod(t * 30, 1.0f);
                g += 0.12f * ring(x, 0.5f, 0.04f) * smooth(0.55f, 0.5f, dash);
            }
            g *= 1 + 0.08f * fbm(s * 30, t * 60, 6.6f, 4);
            img.set(i, j, Col(g, g, g * 0.97f));
        }
}

// Organic veins on a pale, slightly warm skin; wraps in both directions
// because the tubes sample it with world coordinates.
void makeFlowerSkin(Image& img, const Context&) {
    int n = img.width();
    const int period = 4;
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            float x = (i + 0.5f) / n * period, y = (j + 0.5f) / n * period;
            float base = fbm(x, y, 0.61f, 5, period, period) * 0.5f + 0.5f;
            float veins = 0;
            float amp = 1, f = 1;
            for (int k = 0; k < 4; ++k) {
                float nv = stb_perlin_noise3(x * 2 * f, y * 2 * f, 3.37f + 1.13f * k, period * 2 * static_cast<int>(f),
                                             period * 2 * static_cast<int>(f), 0);
                veins += amp * smooth(0.12f, 0.0f, std::fabs(nv));
                amp *= 0.5f;
                f *= 2;
            }
            Col c = mix(Col(0.95f, 0.88f, 0.86f), Col(1.0f, 0.78f, 0.86f), base);
            c = c * (1 - 0.35f * clamp01(veins));
            c += Col(art::kCream) * (0.1f * smooth(0.6f, 0.9f, base));
            img.set(i, j, c);
        }
}

// Soft graphic layer: light leaks, a halftone field and thin arcs. Alpha
// carries the shapes; colour is a warm white everywhere so the additive
// layer only ever brightens.
void makePictureLayer(Image& img, const Context&) {
    int w = img.width(), h = img.height();
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            float x = ((i + 0.5f) / w - 0.5f) * 2, y = (j + 0.5f) / h - 0.5f;
            float leak = std::exp(-std::pow((x + y * 1.4f - 0.3f) * 1.6f, 2.0f)) * 0.45f;
            leak += std::exp(-((x + 0.7f) * (x + 0.7f) + (y - 0.3f) * (y - 0.3f)) * 10) * 0.35f;
            float cell = 0.025f;
            float cx = std::fmod(x + 10, cell) / cell - 0.5f, cy = std::fmod(y + 10, cell) / cell - 0.5f;
            float field = smooth(-0.6f, 0.9f, x - y);
            float dotR = 0.36f * field;
            float halftone = smooth(dotR + 0.06f, dotR - 0.06f, std::sqrt(cx * cx + cy * cy)) * 0.3f;
            float arcs = 0;
            for (int k = 0; k < 5; ++k) {
                float ox = 0.55f, oy = 0.1f;
                float r = std::sqrt((x - ox) * (x - ox) + (y - oy) * (y - oy) * 4);
                arcs += ring(r, 0.25f + 0.11f * k, 0.006f) * (k & 1 ? 0.35f : 0.6f);
            }
            float a =
                clamp01(leak + halftone + arcs * 0.6f) * (0.8f + 0.2f * (fbm(x * 3, y * 3, 4.2f, 4) * 0.5f + 0.5f));
            Col c = mix(Col(1.0f, 0.9f, 0.86f), Col(1.0f, 0.8f, 0.92f), smooth(-1, 1, x));
            img.set(i, j, c, clamp01(a));
        }
}

} // namespace gen
