// The production's logo, "ZEPHRAN", as one node per letter stroke. The Logo
// effect scatters and reassembles the pieces by their distance from the
// middle along x, so each piece's geometry is centred on its own node and the
// word spans x -10.4..10.4, standing on y = 0. All strokes have one depth.
// Where two strokes of a letter meet, their sides are flat and flush, so the
// assembled letter reads as one solid; every other edge is bevelled to catch
// the light. Straight strokes are prisms; the bowls of P and R are swept
// sections, smooth along the curve.
#include "Scenes.h"
#include "Shapes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace scenes {
namespace {

using shapes::P2;

constexpr float kCap = 3.4f;     // cap height
constexpr float kStroke = 0.86f; // stroke width
constexpr float kDepth = 0.95f;
constexpr float kChamfer = 0.1f;
constexpr float kGap = 0.5f;
constexpr float kPi = 3.14159265f;

// A stroke before it becomes a mesh: a convex polygon, or a bowl (a path swept
// with the stroke's section). `joins` are the segments along which the stroke
// meets its neighbours: the bowl's end caps and its lower edge.
struct Stroke {
    std::string name;
    std::vector<P2> polygon;
    std::vector<P2> path;
    std::vector<std::pair<P2, P2>> joins;
};

std::vector<P2> rect(float x0, float y0, float x1, float y1) { return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}; }

void prism(std::vector<Stroke>& out, const std::string& name, const std::vector<P2>& poly) {
    out.push_back({name, poly, {}, {}});
}

// A bowl from the stem at x0 out to the right and back, between the centre
// lines y0 (lower bar) and y1 (upper bar), reaching x1 at its outer edge.
void bowl(std::vector<Stroke>& out, const std::string& name, float x0, float x1, float y0, float y1) {
    const float h = kStroke / 2, r = (y1 - y0) / 2, cx = x1 - h - r, cy = (y0 + y1) / 2;
    Stroke b{name, {}, {}, {}};
    const int straight = 3, arc = 18;
    for (int i = 0; i < straight; ++i) b.path.push_back({x0 + (cx - x0) * i / straight, y1});
    for (int i = 0; i <= arc; ++i) {
        float a = kPi / 2 - kPi * i / arc;
        b.path.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
    }
    for (int i = 1; i <= straight; ++i) b.path.push_back({cx + (x0 - cx) * i / straight, y0});
    b.joins = {{{x0, y1 - h}, {x0, y1 + h}}, {{x0, y0 - h}, {x0, y0 + h}}, {{x0, y0 - h}, {cx, y0 - h}}};
    out.push_back(b);
}

// Whether segment (a, b) runs along (c, d) for more than a point.
bool alongside(P2 a, P2 b, P2 c, P2 d) {
    float ux = b.x - a.x, uy = b.y - a.y, l = std::hypot(ux, uy);
    ux /= l;
    uy /= l;
    auto off = [&](P2 p) { return std::fabs((p.x - a.x) * uy - (p.y - a.y) * ux); };
    if (off(c) > 1e-3f || off(d) > 1e-3f) return false;
    float t0 = (c.x - a.x) * ux + (c.y - a.y) * uy, t1 = (d.x - a.x) * ux + (d.y - a.y) * uy;
    return std::min(l, std::max(t0, t1)) - std::max(0.0f, std::min(t0, t1)) > 1e-3f;
}

// Meshes of one letter's strokes: an edge of a polygon is bevelled unless it
// runs along an edge of another stroke of the letter.
void build(std::vector<Stroke>& strokes, size_t first, std::vector<std::pair<std::string, mesh::Mesh>>& out) {
    std::vector<std::vector<std::pair<P2, P2>>> edges(strokes.size());
    for (size_t k = first; k < strokes.size(); ++k) {
        const Stroke& s = strokes[k];
        edges[k] = s.joins;
        for (size_t i = 0; i < s.polygon.size(); ++i)
            edges[k].push_back({s.polygon[i], s.polygon[(i + 1) % s.polygon.size()]});
    }
    for (size_t k = first; k < strokes.size(); ++k) {
        const Stroke& s = strokes[k];
        if (!s.path.empty()) {
            out.push_back({s.name, shapes::sweep(s.path, kStroke, kDepth, kChamfer)});
            continue;
        }
        std::vector<bool> bevelled;
        for (size_t i = 0; i < s.polygon.size(); ++i) {
            P2 a = s.polygon[i], b = s.polygon[(i + 1) % s.polygon.size()];
            bool joined = false;
            for (size_t o = first; o < strokes.size() && !joined; ++o)
                if (o != k)
                    for (const auto& e : edges[o]) joined = joined || alongside(a, b, e.first, e.second);
            bevelled.push_back(!joined);
        }
        out.push_back({s.name, shapes::chamferedPrism(s.polygon, kDepth, kChamfer, bevelled)});
    }
}

// Each letter adds its strokes with x from `left`; returns the letter width.
float letterZ(std::vector<Stroke>& p, float l) {
    const float w = 2.55f, t = kStroke, dw = t * 1.5f;
    prism(p, "z_top", rect(l, kCap - t, l + w, kCap));
    prism(p, "z_diagonal", {{l, t}, {l + dw, t}, {l + w, kCap - t}, {l + w - dw, kCap - t}});
    prism(p, "z_bottom", rect(l, 0, l + w, t));
    return w;
}

float letterE(std::vector<Stroke>& p, float l) {
    const float w = 2.2f, t = kStroke;
    prism(p, "e_stem", rect(l, 0, l + t, kCap));
    prism(p, "e_top", rect(l + t, kCap - t, l + w, kCap));
    prism(p, "e_middle", rect(l + t, kCap / 2 - t / 2, l + w - 0.3f, kCap / 2 + t / 2));
    prism(p, "e_bottom", rect(l + t, 0, l + w, t));
    return w;
}

float letterP(std::vector<Stroke>& p, float l) {
    const float w = 2.4f, t = kStroke;
    prism(p, "p_stem", rect(l, 0, l + t, kCap));
    bowl(p, "p_bowl", l + t, l + w, kCap * 0.42f, kCap - t / 2);
    return w;
}

float letterH(std::vector<Stroke>& p, float l) {
    const float w = 2.6f, t = kStroke;
    prism(p, "h_left", rect(l, 0, l + t, kCap));
    prism(p, "h_bar", rect(l + t, kCap / 2 - t / 2, l + w - t, kCap / 2 + t / 2));
    prism(p, "h_right", rect(l + w - t, 0, l + w, kCap));
    return w;
}

float letterR(std::vector<Stroke>& p, float l) {
    const float w = 2.5f, t = kStroke, dw = t * 1.3f;
    const float y0 = kCap * 0.42f, top = y0 - t / 2, xl = l + t + 0.3f;
    prism(p, "r_stem", rect(l, 0, l + t, kCap));
    bowl(p, "r_bowl", l + t, l + w - 0.05f, y0, kCap - t / 2);
    prism(p, "r_leg", {{l + w - dw, 0}, {l + w, 0}, {xl + dw, top}, {xl, top}});
    return w;
}

// A flat-topped A: the legs meet along the middle line above the counter,
// the bar sits between their inner edges a little below the middle.
float letterA(std::vector<Stroke>& p, float l) {
    const float w = 3.0f, t = kStroke, m = l + w / 2, apex = 0.7f;
    const float run = m - apex - l, dw = t * std::hypot(run, kCap) / kCap;
    // Inner edge of the left leg: x at height y; it reaches the middle at yi.
    auto inner = [&](float y) { return l + dw + run * y / kCap; };
    const float yi = (m - l - dw) * kCap / run;
    prism(p, "a_left", {{l, 0}, {l + dw, 0}, {m, yi}, {m, kCap}, {m - apex, kCap}});
    prism(p, "a_right", {{2 * m - l - dw, 0}, {2 * m - l, 0}, {m + apex, kCap}, {m, kCap}, {m, yi}});
    const float y0 = kCap * 0.3f, y1 = y0 + t * 0.85f;
    prism(p, "a_bar", {{inner(y0), y0}, {2 * m - inner(y0), y0}, {2 * m - inner(y1), y1}, {inner(y1), y1}});
    return w;
}

float letterN(std::vector<Stroke>& p, float l) {
    const float w = 2.55f, t = kStroke, dh = t * 1.45f;
    prism(p, "n_left", rect(l, 0, l + t, kCap));
    prism(p, "n_diagonal", {{l + t, kCap}, {l + t, kCap - dh}, {l + w - t, 0}, {l + w - t, dh}});
    prism(p, "n_right", rect(l + w - t, 0, l + w, kCap));
    return w;
}

} // namespace

collada::Document logo() {
    std::vector<Stroke> strokes;
    std::vector<std::pair<std::string, mesh::Mesh>> pieces;
    float (*letters[])(std::vector<Stroke>&, float) = {letterZ, letterE, letterP, letterH, letterR, letterA, letterN};
    // Lay out once from 0 to find the width, then centre on x = 0.
    float x = 0;
    std::vector<size_t> firstOfLetter;
    for (auto letter : letters) {
        firstOfLetter.push_back(strokes.size());
        x += letter(strokes, x) + kGap;
        build(strokes, firstOfLetter.back(), pieces);
    }
    float shift = -(x - kGap) / 2;
    collada::Document doc;
    doc.sceneName = "logo";
    doc.materials.push_back({"logo_green", {109 / 255.0f, 167 / 255.0f, 20 / 255.0f}, 60});
    for (size_t i = 0; i < pieces.size(); ++i) {
        size_t letter = 0;
        while (letter + 1 < firstOfLetter.size() && firstOfLetter[letter + 1] <= i) ++letter;
        mesh::Mesh& m = pieces[i].second;
        m.translate(mesh::Vec3(shift, 0, 0));
        mesh::Vec3 c = m.centroid();
        m.translate(-c);
        char id[64];
        std::snprintf(id, sizeof id, "letter%zu_%s", letter + 1, pieces[i].first.c_str());
        doc.geometries.push_back({std::string(id) + "-mesh", m, 0});
        doc.nodes.push_back({id, c, static_cast<int>(doc.geometries.size() - 1)});
    }
    return doc;
}

} // namespace scenes
