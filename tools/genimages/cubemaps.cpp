// The two cube maps, painted per texel from a direction so the six faces of
// each meet without seams: a studio environment of soft light panels over a
// glowing horizon for reflections, and a dark nebula sky box that the effects
// tint, so its clouds stay close to neutral grey.
#include "CubeFace.h"
#include "Generators.h"

#include <stb_perlin.h>

#include <cmath>

namespace gen {
namespace {

struct V3 {
    float x, y, z;
};
V3 operator*(V3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
float dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
V3 cross(V3 a, V3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
V3 norm(V3 a) {
    float l = std::sqrt(dot(a, a));
    return a * (1 / l);
}

// A rectangular soft light seen from the centre: half-sizes are tangents of
// the half-angles, `soft` the width of the edge falloff.
struct Panel {
    V3 dir;
    float halfW, halfH, soft;
    Col colour;
};

float panelMask(const Panel& p, V3 d) {
    V3 n = norm(p.dir);
    float c = dot(d, n);
    if (c <= 0.05f) return 0;
    V3 u = norm(cross(V3{0, 1, 0}, n));
    V3 v = cross(n, u);
    V3 q = d * (1 / c);
    float a = std::fabs(dot(q, u)), b = std::fabs(dot(q, v));
    return smooth(p.halfW + p.soft, p.halfW - p.soft, a) * smooth(p.halfH + p.soft, p.halfH - p.soft, b);
}

Col envColour(V3 d) {
    const Col zenith(0.015f, 0.015f, 0.05f), skyLow = Col(art::kPlum) * 0.9f;
    const Col horizon(1.0f, 0.62f, 0.48f), groundNear(0.17f, 0.07f, 0.09f), groundFar(0.025f, 0.02f, 0.03f);
    float y = d.y;
    Col c;
    if (y >= 0) {
        c = mix(skyLow, zenith, smooth(0.0f, 0.75f, y));
        float cloud = smooth(0.0f, 0.9f, fbm(d.x * 2.5f, d.y * 5.0f, d.z * 2.5f, 5) + 0.2f);
        c += Col(art::kMagenta) * (cloud * 0.12f * (1 - smooth(0.1f, 0.6f, y)));
        c = screen(c, horizon * (std::exp(-y * 16) * 0.85f));
    } else {
        c = mix(groundNear, groundFar, smooth(0.0f, -0.45f, y));
        c = screen(c, horizon * (std::exp(y * 34) * 0.55f));
    }
    static const Panel panels[] = {
        {{0.25f, 0.9f, 0.45f}, 0.42f, 0.22f, 0.05f, Col(1.0f, 0.96f, 0.9f) * 1.25f}, // key, overhead
        {{-0.92f, 0.22f, -0.15f}, 0.05f, 0.55f, 0.025f, Col(art::kPink) * 1.3f},     // pink strip
        {{0.85f, 0.18f, -0.45f}, 0.045f, 0.5f, 0.025f, Col(art::kOrange) * 1.3f},    // orange strip
        {{-0.25f, 0.4f, -0.9f}, 0.16f, 0.16f, 0.04f, Col(art::kCream) * 0.9f},       // back fill
        {{0.3f, -0.05f, 0.95f}, 0.6f, 0.03f, 0.02f, Col(art::kYellow) * 0.6f},       // low front bar
    };
    for (const Panel& p : panels) {
        float m = panelMask(p, d);
        if (m > 0) c = screen(c, p.colour * m);
    }
    // A ring of small lamps just above the horizon: sparkle in curved chrome.
    float az = std::atan2(d.z, d.x);
    float lampAz = std::round(az / (6.2831853f / 14)) * (6.2831853f / 14);
    V3 lamp = norm(V3{std::cos(lampAz), 0.12f, std::sin(lampAz)});
    float ang = std::acos(std::fmin(1.0f, dot(d, lamp)));
    c = screen(c, Col(art::kYellow) * (smooth(0.035f, 0.012f, ang) * 0.9f));
    return c;
}

Col darkColour(V3 d) {
    V3 w{fbm(d.x * 1.2f + 5, d.y * 1.2f, d.z * 1.2f, 4), fbm(d.x * 1.2f, d.y * 1.2f + 11, d.z * 1.2f, 4),
         fbm(d.x * 1.2f, d.y * 1.2f, d.z * 1.2f + 19, 4)};
    V3 q = d * 1.7f + w * 0.7f;
    float cloud = smooth(-0.15f, 0.85f, fbm(q.x * 2, q.y * 2, q.z * 2, 6));
    float filament = ridged(q.x * 3, q.y * 3, q.z * 3, 5);
    float lanes = smooth(-0.55f, 0.15f, fbm(d.x * 4 + 50, d.y * 4, d.z * 4, 5));
    float lum = (0.04f * cloud + 0.55f * cloud * cloud + 0.5f * filament * filament * filament * cloud) * lanes;
    Col tint = mix(Col(0.72f, 0.7f, 0.82f), Col(0.95f, 0.86f, 0.74f), smooth(-0.5f, 0.5f, fbm(d.x + 30, d.y, d.z, 3)));
    Col c = Col(0.014f, 0.012f, 0.018f) + tint * lum;
    float stars = smooth(0.6f, 0.8f, stb_perlin_noise3(d.x * 260, d.y * 260, d.z * 260, 0, 0, 0));
    float bright = smooth(0.68f, 0.82f, stb_perlin_noise3(d.x * 70 + 7, d.y * 70, d.z * 70, 0, 0, 0));
    c += Col(0.9f, 0.9f, 1.0f) * (stars * 0.7f + bright * 0.8f * (0.5f + cloud));
    return c;
}

void paintFace(Image& img, int face, Col (*colour)(V3)) {
    int n = img.width();
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            float d[3];
            cubeface::direction(face, (x + 0.5f) / n, (y + 0.5f) / n, d);
            img.set(x, y, colour(V3{d[0], d[1], d[2]}));
        }
}

} // namespace

void makeEnvFace(Image& img, const Context& ctx) { paintFace(img, cubeface::faceOfName(ctx.name.c_str()), envColour); }
void makeDarkFace(Image& img, const Context& ctx) {
    paintFace(img, cubeface::faceOfName(ctx.name.c_str()), darkColour);
}

} // namespace gen
