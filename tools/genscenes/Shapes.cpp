// Shape builders for the generated scenes.
#include "Shapes.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace shapes {
namespace {

constexpr float kPi = 3.14159265f;
using mesh::cross;
using mesh::dot;
using mesh::normalize;

// Coordinates along one box axis: the flat middle plus the rounding arcs.
std::vector<float> roundedAxis(float half, float radius, int segments) {
    std::vector<float> c;
    float inner = half - radius;
    for (int i = 0; i <= segments; ++i) c.push_back(-inner - radius * std::cos(0.5f * kPi * i / segments));
    for (int i = 0; i <= segments; ++i) c.push_back(inner + radius * std::sin(0.5f * kPi * i / segments));
    return c;
}

float clampf(float x, float lo, float hi) { return std::max(lo, std::min(hi, x)); }

} // namespace

Mesh roundedBox(Vec3 half, float radius, int segments) {
    Mesh m;
    const float h[3] = {half.x, half.y, half.z};
    for (int axis = 0; axis < 3; ++axis)
        for (int sign = -1; sign <= 1; sign += 2) {
            int ua = (axis + 1) % 3, va = (axis + 2) % 3;
            std::vector<float> us = roundedAxis(h[ua], radius, segments), vs = roundedAxis(h[va], radius, segments);
            uint32_t base = static_cast<uint32_t>(m.vertices.size());
            for (size_t j = 0; j < vs.size(); ++j)
                for (size_t i = 0; i < us.size(); ++i) {
                    float q[3];
                    q[axis] = sign * h[axis];
                    q[ua] = us[i];
                    q[va] = vs[j];
                    // Project the cube point onto the rounded surface.
                    float core[3], p[3], n[3];
                    for (int k = 0; k < 3; ++k) core[k] = clampf(q[k], -(h[k] - radius), h[k] - radius);
                    for (int k = 0; k < 3; ++k) n[k] = q[k] - core[k];
                    Vec3 nn = normalize(Vec3(n[0], n[1], n[2]));
                    const float nv[3] = {nn.x, nn.y, nn.z};
                    for (int k = 0; k < 3; ++k) p[k] = core[k] + nv[k] * radius;
                    m.add(Vec3(p[0], p[1], p[2]), nn, (us[i] / h[ua] + 1) * 0.5f, (vs[j] / h[va] + 1) * 0.5f);
                }
            uint32_t row = static_cast<uint32_t>(us.size());
            for (uint32_t j = 0; j + 1 < vs.size(); ++j)
                for (uint32_t i = 0; i + 1 < row; ++i) {
                    uint32_t a = base + j * row + i, b = a + 1, c = a + row + 1, d = a + row;
                    // The duplicated coordinates where flat meets round give
                    // zero-area cells; skip them.
                    if (mesh::length(m.vertices[b].p - m.vertices[a].p) < 1e-6f ||
                        mesh::length(m.vertices[d].p - m.vertices[a].p) < 1e-6f)
                        continue;
                    m.triangle(a, b, c);
                    m.triangle(a, c, d);
                }
        }
    return m;
}

Mesh geosphere(float radius, int level, bool faceted) {
    const float t = (1 + std::sqrt(5.0f)) / 2;
    std::vector<Vec3> v = {{-1, t, 0},  {1, t, 0},  {-1, -t, 0}, {1, -t, 0}, {0, -1, t},  {0, 1, t},
                           {0, -1, -t}, {0, 1, -t}, {t, 0, -1},  {t, 0, 1},  {-t, 0, -1}, {-t, 0, 1}};
    for (Vec3& p : v) p = normalize(p);
    std::vector<uint32_t> f = {0, 11, 5,  0, 5,  1, 0, 1, 7, 0, 7,  10, 0, 10, 11, 1, 5, 9, 5, 11,
                               4, 11, 10, 2, 10, 7, 6, 7, 1, 8, 3,  9,  4, 3,  4,  2, 3, 2, 6, 3,
                               6, 8,  3,  8, 9,  4, 9, 5, 2, 4, 11, 6,  2, 10, 8,  6, 7, 9, 8, 1};
    for (int l = 0; l < level; ++l) {
        std::map<std::pair<uint32_t, uint32_t>, uint32_t> mid;
        auto middle = [&](uint32_t a, uint32_t b) {
            auto key = std::make_pair(std::min(a, b), std::max(a, b));
            auto it = mid.find(key);
            if (it != mid.end()) return it->second;
            v.push_back(normalize(v[a] + v[b]));
            return mid[key] = static_cast<uint32_t>(v.size() - 1);
        };
        std::vector<uint32_t> next;
        for (size_t i = 0; i < f.size(); i += 3) {
            uint32_t a = f[i], b = f[i + 1], c = f[i + 2];
            uint32_t ab = middle(a, b), bc = middle(b, c), ca = middle(c, a);
            uint32_t tri[12] = {a, ab, ca, b, bc, ab, c, ca, bc, ab, bc, ca};
            next.insert(next.end(), tri, tri + 12);
        }
        f.swap(next);
    }
    Mesh m;
    for (const Vec3& p : v)
        m.add(p * radius, p, 0.5f + std::atan2(p.z, p.x) / (2 * kPi), std::acos(clampf(p.y, -1, 1)) / kPi);
    for (size_t i = 0; i < f.size(); i += 3) m.triangle(f[i], f[i + 1], f[i + 2]);
    return faceted ? flatten(m) : m;
}

Mesh lathe(const std::vector<ProfilePoint>& profile, int segments) {
    Mesh m;
    uint32_t cols = static_cast<uint32_t>(segments + 1);
    for (size_t i = 0; i < profile.size(); ++i)
        for (int j = 0; j <= segments; ++j) {
            float a = 2 * kPi * j / segments, c = std::cos(a), s = std::sin(a);
            const ProfilePoint& p = profile[i];
            m.add(Vec3(p.r * c, p.y, p.r * s), Vec3(p.nr * c, p.ny, p.nr * s), static_cast<float>(j) / segments,
                  static_cast<float>(i) / (profile.size() - 1));
        }
    for (uint32_t i = 0; i + 1 < profile.size(); ++i) {
        const ProfilePoint &p = profile[i], &q = profile[i + 1];
        if (std::fabs(p.r - q.r) < 1e-6f && std::fabs(p.y - q.y) < 1e-6f) continue; // crease
        for (uint32_t j = 0; j < static_cast<uint32_t>(segments); ++j) {
            uint32_t a = i * cols + j, b = a + 1, c = a + cols + 1, d = a + cols;
            if (p.r > 1e-6f) m.triangle(a, b, c);
            if (q.r > 1e-6f) m.triangle(a, c, d);
        }
    }
    return m;
}

Mesh sphere(float radius, int rings, int segments) { return capsule(radius, 0, rings, segments); }

Mesh capsule(float radius, float halfLength, int rings, int segments) {
    std::vector<ProfilePoint> p;
    for (int i = 0; i <= rings / 2; ++i) {
        float a = 0.5f * kPi * (1 - 2.0f * i / rings);
        p.push_back({radius * std::cos(a), halfLength + radius * std::sin(a), std::cos(a), std::sin(a)});
    }
    for (int i = rings / 2; i <= rings; ++i) {
        float a = 0.5f * kPi * (1 - 2.0f * i / rings);
        p.push_back({radius * std::cos(a), -halfLength + radius * std::sin(a), std::cos(a), std::sin(a)});
    }
    return lathe(p, segments);
}

Mesh cylinder(float radius, float halfHeight, float chamfer, int segments) {
    const float b = std::sqrt(0.5f), r = radius, h = halfHeight, c = chamfer;
    return lathe({{0, h, 0, 1},
                  {r - c, h, 0, 1},
                  {r - c, h, b, b},
                  {r, h - c, b, b},
                  {r, h - c, 1, 0},
                  {r, -h + c, 1, 0},
                  {r, -h + c, b, -b},
                  {r - c, -h, b, -b},
                  {r - c, -h, 0, -1},
                  {0, -h, 0, -1}},
                 segments);
}

Mesh cone(float radius, float bottom, float top, float chamfer, int segments) {
    float height = top - bottom;
    float sl = std::sqrt(height * height + radius * radius);
    float nr = height / sl, ny = radius / sl;
    float cr = radius - chamfer * radius / sl, cy = bottom + chamfer * height / sl;
    const float b = std::sqrt(0.5f);
    return lathe({{0, top, nr, ny},
                  {cr, cy, nr, ny},
                  {cr, cy, b, -b},
                  {radius - chamfer, bottom, b, -b},
                  {radius - chamfer, bottom, 0, -1},
                  {0, bottom, 0, -1}},
                 segments);
}

Mesh torus(float major, float minor, int ringSegments, int tubeSegments) {
    std::vector<ProfilePoint> p;
    for (int i = 0; i <= tubeSegments; ++i) {
        float a = kPi / 2 - 2 * kPi * i / tubeSegments;
        p.push_back({major + minor * std::cos(a), minor * std::sin(a), std::cos(a), std::sin(a)});
    }
    return lathe(p, ringSegments);
}

Mesh flatten(const Mesh& m) {
    Mesh out;
    for (size_t i = 0; i < m.indices.size(); i += 3) {
        const mesh::Vertex &a = m.vertices[m.indices[i]], &b = m.vertices[m.indices[i + 1]],
                           &c = m.vertices[m.indices[i + 2]];
        Vec3 n = normalize(cross(b.p - a.p, c.p - a.p));
        uint32_t ia = out.add(a.p, n, a.u, a.v), ib = out.add(b.p, n, b.u, b.v), ic = out.add(c.p, n, c.u, c.v);
        out.indices.insert(out.indices.end(), {ia, ib, ic});
    }
    return out;
}

void rotate(Mesh& m, int axis, float degrees) {
    float a = degrees * kPi / 180, c = std::cos(a), s = std::sin(a);
    auto turn = [&](Vec3& v) {
        if (axis == 0)
            v = Vec3(v.x, c * v.y - s * v.z, s * v.y + c * v.z);
        else if (axis == 1)
            v = Vec3(c * v.x + s * v.z, v.y, -s * v.x + c * v.z);
        else
            v = Vec3(c * v.x - s * v.y, s * v.x + c * v.y, v.z);
    };
    for (mesh::Vertex& v : m.vertices) {
        turn(v.p);
        turn(v.n);
    }
}

namespace {

// Counter-clockwise copy of a convex polygon.
// Whether the polygon winds clockwise (negative area).
bool clockwise(const std::vector<P2>& poly) {
    float area = 0;
    for (size_t i = 0; i < poly.size(); ++i) {
        const P2 &a = poly[i], &b = poly[(i + 1) % poly.size()];
        area += a.x * b.y - b.x * a.y;
    }
    return area < 0;
}

// The CCW polygon with every edge i (corner i to i + 1) moved inwards by d[i].
std::vector<P2> inset(const std::vector<P2>& poly, const std::vector<float>& d) {
    size_t n = poly.size();
    std::vector<P2> out(n);
    for (size_t i = 0; i < n; ++i) {
        size_t h = (i + n - 1) % n;
        const P2 &prev = poly[h], &cur = poly[i], &next = poly[(i + 1) % n];
        // Inward normals of the two edges meeting at cur (polygon is CCW).
        float ax = cur.x - prev.x, ay = cur.y - prev.y, al = std::sqrt(ax * ax + ay * ay);
        float bx = next.x - cur.x, by = next.y - cur.y, bl = std::sqrt(bx * bx + by * by);
        P2 na{-ay / al, ax / al}, nb{-by / bl, bx / bl};
        // Intersect the two offset lines.
        float px = prev.x + na.x * d[h], py = prev.y + na.y * d[h];
        float qx = cur.x + nb.x * d[i], qy = cur.y + nb.y * d[i];
        float det = ax * by - ay * bx;
        float t = ((qx - px) * by - (qy - py) * bx) / det;
        out[i] = {px + ax * t, py + ay * t};
    }
    return out;
}

} // namespace

Mesh chamferedPrism(const std::vector<P2>& polygon, float depth, float chamfer, const std::vector<bool>& bevelled) {
    std::vector<P2> outer = polygon;
    size_t n = outer.size();
    std::vector<float> d(n);
    for (size_t i = 0; i < n; ++i) d[i] = bevelled.empty() || bevelled[i] ? chamfer : 0.0f;
    if (clockwise(outer)) {
        // Reversed, edge i runs from corner n-1-i to n-2-i: the old edge n-2-i.
        std::reverse(outer.begin(), outer.end());
        std::vector<float> r(n);
        for (size_t i = 0; i < n; ++i) r[i] = d[(2 * n - 2 - i) % n];
        d = r;
    }
    std::vector<P2> inner = inset(outer, d);
    float zf = depth / 2, zb = -depth / 2, zfc = zf - chamfer, zbc = zb + chamfer;
    Mesh m;
    const float uv = 0.25f;
    std::vector<Vec3> front, back;
    for (size_t i = 0; i < n; ++i) {
        front.push_back(Vec3(inner[i].x, inner[i].y, zf));
        back.push_back(Vec3(inner[n - 1 - i].x, inner[n - 1 - i].y, zb));
    }
    m.flatPolygon(front, uv, Vec3(0, 0, 1));
    m.flatPolygon(back, uv, Vec3(0, 0, -1));
    auto at = [](const P2& p, float z) { return Vec3(p.x, p.y, z); };
    for (size_t i = 0; i < n; ++i) {
        size_t j = (i + 1) % n;
        const P2 &o0 = outer[i], &o1 = outer[j], &i0 = inner[i], &i1 = inner[j];
        Vec3 out(o1.y - o0.y, o0.x - o1.x, 0); // right of the CCW edge: outwards
        if (d[i] > 0) {
            m.flatPolygon({at(o0, zfc), at(o1, zfc), at(i1, zf), at(i0, zf)}, uv, out + Vec3(0, 0, chamfer));
            m.flatPolygon({at(o0, zbc), at(o1, zbc), at(o1, zfc), at(o0, zfc)}, uv, out);
            m.flatPolygon({at(i0, zb), at(i1, zb), at(o1, zbc), at(o0, zbc)}, uv, out - Vec3(0, 0, chamfer));
            continue;
        }
        // A flush side: the full depth, following the bevels of the edges
        // beside it at both ends (corners where they coincide are dropped).
        std::vector<Vec3> side;
        for (const Vec3& v :
             {at(i0, zf), at(o0, zfc), at(o0, zbc), at(i0, zb), at(i1, zb), at(o1, zbc), at(o1, zfc), at(i1, zf)})
            if (side.empty() || length(v - side.back()) > 1e-5f) side.push_back(v);
        if (length(side.front() - side.back()) < 1e-5f) side.pop_back();
        m.flatPolygon(side, uv, out);
    }
    return m;
}

Mesh sweep(const std::vector<P2>& path, float width, float depth, float chamfer) {
    // Section corners (across, z) and the flat normal of each section edge.
    const float w = width / 2, d = depth / 2, c = chamfer;
    const P2 sec[8] = {{w, d - c},   {w - c, d},   {-w + c, d}, {-w, d - c},
                       {-w, -d + c}, {-w + c, -d}, {w - c, -d}, {w, -d + c}};
    Mesh m;
    size_t n = path.size();
    std::vector<P2> tangent(n), side(n);
    for (size_t i = 0; i < n; ++i) {
        const P2 &a = path[i == 0 ? 0 : i - 1], &b = path[i + 1 < n ? i + 1 : n - 1];
        float tx = b.x - a.x, ty = b.y - a.y, l = std::sqrt(tx * tx + ty * ty);
        tangent[i] = {tx / l, ty / l};
        side[i] = {ty / l, -tx / l}; // right of the direction of travel
    }
    auto place = [&](size_t i, const P2& s) {
        return Vec3(path[i].x + side[i].x * s.x, path[i].y + side[i].y * s.x, s.y);
    };
    float along = 0;
    std::vector<float> dist(n, 0);
    for (size_t i = 1; i < n; ++i) {
        along += std::hypot(path[i].x - path[i - 1].x, path[i].y - path[i - 1].y);
        dist[i] = along;
    }
    for (int e = 0; e < 8; ++e) {
        const P2 &s0 = sec[e], &s1 = sec[(e + 1) % 8];
        // Outward normal of the section edge, in (across, z).
        float ex = s1.x - s0.x, ey = s1.y - s0.y, el = std::sqrt(ex * ex + ey * ey);
        P2 en{ey / el, -ex / el};
        if (en.x * (s0.x + s1.x) + en.y * (s0.y + s1.y) < 0) en = {-en.x, -en.y};
        uint32_t base = static_cast<uint32_t>(m.vertices.size());
        for (size_t i = 0; i < n; ++i) {
            Vec3 nrm(side[i].x * en.x, side[i].y * en.x, en.y);
            m.add(place(i, s0), nrm, dist[i] * 0.25f, e / 8.0f);
            m.add(place(i, s1), nrm, dist[i] * 0.25f, (e + 1) / 8.0f);
        }
        for (uint32_t i = 0; i + 1 < n; ++i) {
            uint32_t a = base + 2 * i;
            m.triangle(a, a + 1, a + 3);
            m.triangle(a, a + 3, a + 2);
        }
    }
    for (size_t end = 0; end < 2; ++end) {
        size_t i = end == 0 ? 0 : n - 1;
        std::vector<Vec3> cap;
        for (const P2& s : sec) cap.push_back(place(i, s));
        Vec3 out = end == 0 ? Vec3(-tangent[i].x, -tangent[i].y, 0) : Vec3(tangent[i].x, tangent[i].y, 0);
        m.flatPolygon(cap, 0.25f, out);
    }
    return m;
}

Mesh sphereSlice(float radius, float y0, float y1, float a0, float a1, int rows, int columns) {
    Mesh m;
    auto rho = [&](float y) { return std::sqrt(std::max(0.0f, radius * radius - y * y)); };
    auto at = [&](float y, float a) { return Vec3(rho(y) * std::cos(a), y, rho(y) * std::sin(a)); };
    // Outer skin, smooth.
    uint32_t base = static_cast<uint32_t>(m.vertices.size());
    for (int r = 0; r <= rows; ++r)
        for (int c = 0; c <= columns; ++c) {
            float y = y1 + (y0 - y1) * r / rows, a = a0 + (a1 - a0) * c / columns;
            Vec3 p = at(y, a);
            m.add(p, p, a / (2 * kPi), 0.5f - y / (2 * radius));
        }
    uint32_t cols = columns + 1;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            uint32_t a = base + r * cols + c, b = a + 1, cc = a + cols + 1, d = a + cols;
            if (rho(y1 + (y0 - y1) * r / rows) > 1e-4f) m.triangle(a, b, cc);
            if (rho(y1 + (y0 - y1) * (r + 1) / rows) > 1e-4f) m.triangle(a, cc, d);
        }
    const float uv = 0.08f;
    // Top and bottom: flat sectors (fans from the axis).
    for (int end = 0; end < 2; ++end) {
        float y = end == 0 ? y1 : y0;
        if (rho(y) < 1e-4f) continue;
        std::vector<Vec3> sector = {Vec3(0, y, 0)};
        for (int c = 0; c <= columns; ++c) sector.push_back(at(y, a0 + (a1 - a0) * c / columns));
        m.flatPolygon(sector, uv, Vec3(0, end == 0 ? 1.0f : -1.0f, 0));
    }
    // The two cut faces along the meridians.
    for (int end = 0; end < 2; ++end) {
        float a = end == 0 ? a0 : a1;
        std::vector<Vec3> face = {Vec3(0, y0, 0), Vec3(0, y1, 0)};
        for (int r = 0; r <= rows; ++r) face.push_back(at(y1 + (y0 - y1) * r / rows, a));
        // Outward is away from the slice's middle azimuth.
        float mid = (a0 + a1) / 2;
        m.flatPolygon(face, uv, Vec3(std::cos(a) - std::cos(mid), 0, std::sin(a) - std::sin(mid)));
    }
    return m;
}

} // namespace shapes
