// The production's logo, "ZEPHRAN", as one node per letter stroke. The Logo
// effect scatters and reassembles the pieces by their distance from the
// middle along x, so each piece's geometry is centred on its own node and the
// word spans x -10.4..10.4, standing on y = 0. Straight strokes are chamfered
// prisms; the bowls of P and R are swept sections, smooth along the curve.
#include "Scenes.h"
#include "Shapes.h"

#include <cmath>
#include <cstdio>

namespace scenes {
namespace {

using shapes::P2;

constexpr float kCap = 3.4f;      // cap height
constexpr float kStroke = 0.74f;  // stroke width
constexpr float kDepth = 0.95f;
constexpr float kChamfer = 0.11f;
constexpr float kGap = 0.55f;
constexpr float kPi = 3.14159265f;

struct Piece { std::string name; mesh::Mesh mesh; };

std::vector<P2> rect(float x0, float y0, float x1, float y1) { return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}; }

void prism(std::vector<Piece>& out, const std::string& name, const std::vector<P2>& poly) {
    out.push_back({name, shapes::chamferedPrism(poly, kDepth, kChamfer)});
}

// A bowl from the stem at x0 out to the right and back, between the centre
// lines y0 (lower bar) and y1 (upper bar), reaching x1 at its outer edge.
void bowl(std::vector<Piece>& out, const std::string& name, float x0, float x1, float y0, float y1) {
    float r = (y1 - y0) / 2, cx = x1 - kStroke / 2 - r, cy = (y0 + y1) / 2;
    std::vector<P2> path;
    const int straight = 3, arc = 18;
    for (int i = 0; i < straight; ++i) path.push_back({x0 + (cx - x0) * i / straight, y1});
    for (int i = 0; i <= arc; ++i) {
        float a = kPi / 2 - kPi * i / arc;
        path.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
    }
    for (int i = 1; i <= straight; ++i) path.push_back({cx + (x0 - cx) * i / straight, y0});
    out.push_back({name, shapes::sweep(path, kStroke, kDepth, kChamfer)});
}

// Each letter adds its pieces with x from `left`; returns the letter width.
float letterZ(std::vector<Piece>& p, float l) {
    const float w = 2.6f, t = kStroke, dw = t * 1.45f;
    prism(p, "z_top", rect(l, kCap - t, l + w, kCap));
    prism(p, "z_diagonal", {{l, t}, {l + dw, t}, {l + w, kCap - t}, {l + w - dw, kCap - t}});
    prism(p, "z_bottom", rect(l, 0, l + w, t));
    return w;
}

float letterE(std::vector<Piece>& p, float l) {
    const float w = 2.2f, t = kStroke;
    prism(p, "e_stem", rect(l, 0, l + t, kCap));
    prism(p, "e_top", rect(l + t, kCap - t, l + w, kCap));
    prism(p, "e_middle", rect(l + t, kCap / 2 - t / 2, l + w - 0.25f, kCap / 2 + t / 2));
    prism(p, "e_bottom", rect(l + t, 0, l + w, t));
    return w;
}

float letterP(std::vector<Piece>& p, float l) {
    const float w = 2.3f, t = kStroke;
    prism(p, "p_stem", rect(l, 0, l + t, kCap));
    bowl(p, "p_bowl", l + t, l + w, kCap * 0.44f, kCap - t / 2);
    return w;
}

float letterH(std::vector<Piece>& p, float l) {
    const float w = 2.6f, t = kStroke;
    prism(p, "h_left", rect(l, 0, l + t, kCap));
    prism(p, "h_bar", rect(l + t, kCap / 2 - t / 2, l + w - t, kCap / 2 + t / 2));
    prism(p, "h_right", rect(l + w - t, 0, l + w, kCap));
    return w;
}

float letterR(std::vector<Piece>& p, float l) {
    const float w = 2.45f, t = kStroke, dw = t * 1.3f;
    float y0 = kCap * 0.44f;
    prism(p, "r_stem", rect(l, 0, l + t, kCap));
    bowl(p, "r_bowl", l + t, l + w - 0.05f, y0, kCap - t / 2);
    float top = y0 - t / 2, xl = l + t + 0.35f;
    prism(p, "r_leg", {{l + w - dw, 0}, {l + w, 0}, {xl + dw, top}, {xl, top}});
    return w;
}

float letterA(std::vector<Piece>& p, float l) {
    const float w = 2.9f, t = kStroke, dw = t * 1.2f, m = l + w / 2;
    // The legs meet only at the apex, so no faces overlap.
    prism(p, "a_left", {{l, 0}, {l + dw, 0}, {m, kCap}, {m - dw, kCap}});
    prism(p, "a_right", {{l + w - dw, 0}, {l + w, 0}, {m + dw, kCap}, {m, kCap}});
    auto inner = [&](float y, bool left) {
        float f = y / kCap;
        return left ? l + dw + (m - l - dw) * f : l + w - dw - (l + w - dw - m) * f;
    };
    float y0 = kCap * 0.24f, y1 = y0 + t * 0.9f;
    prism(p, "a_bar", {{inner(y0, true), y0}, {inner(y0, false), y0}, {inner(y1, false), y1}, {inner(y1, true), y1}});
    return w;
}

float letterN(std::vector<Piece>& p, float l) {
    const float w = 2.6f, t = kStroke, dh = t * 1.5f;
    prism(p, "n_left", rect(l, 0, l + t, kCap));
    prism(p, "n_diagonal", {{l + t, kCap}, {l + t, kCap - dh}, {l + w - t, 0}, {l + w - t, dh}});
    prism(p, "n_right", rect(l + w - t, 0, l + w, kCap));
    return w;
}

} // namespace

collada::Document logo() {
    std::vector<Piece> pieces;
    float (*letters[])(std::vector<Piece>&, float) = {letterZ, letterE, letterP, letterH, letterR, letterA, letterN};
    // Lay out once from 0 to find the width, then centre on x = 0.
    float x = 0;
    std::vector<size_t> firstOfLetter;
    for (auto letter : letters) {
        firstOfLetter.push_back(pieces.size());
        x += letter(pieces, x) + kGap;
    }
    float shift = -(x - kGap) / 2;
    collada::Document doc;
    doc.sceneName = "logo";
    doc.materials.push_back({"logo_green", {109 / 255.0f, 167 / 255.0f, 20 / 255.0f}, 60});
    for (size_t i = 0; i < pieces.size(); ++i) {
        size_t letter = 0;
        while (letter + 1 < firstOfLetter.size() && firstOfLetter[letter + 1] <= i) ++letter;
        mesh::Mesh& m = pieces[i].mesh;
        m.translate(mesh::Vec3(shift, 0, 0));
        mesh::Vec3 c = m.centroid();
        m.translate(-c);
        char id[64];
        std::snprintf(id, sizeof id, "letter%zu_%s", letter + 1, pieces[i].name.c_str());
        doc.geometries.push_back({std::string(id) + "-mesh", m, 0});
        doc.nodes.push_back({id, c, static_cast<int>(doc.geometries.size() - 1)});
    }
    return doc;
}

} // namespace scenes
