// Mesh building: vertices, self-orienting triangles, flat polygons, moves.
#include "Mesh.h"

namespace mesh {

uint32_t Mesh::add(const Vec3& p, const Vec3& n, float u, float v) {
    vertices.push_back({p, normalize(n), u, v});
    return static_cast<uint32_t>(vertices.size() - 1);
}

void Mesh::triangle(uint32_t a, uint32_t b, uint32_t c) {
    const Vertex &A = vertices[a], &B = vertices[b], &C = vertices[c];
    Vec3 face = cross(B.p - A.p, C.p - A.p);
    if (dot(face, A.n + B.n + C.n) < 0) std::swap(b, c);
    indices.push_back(a);
    indices.push_back(b);
    indices.push_back(c);
}

void Mesh::flatPolygon(const std::vector<Vec3>& given, float uvScale, const Vec3& outward) {
    // Corners that repeat their neighbour (a slice ending at a pole) would
    // only add zero-area triangles.
    std::vector<Vec3> corners;
    for (const Vec3& p : given)
        if (corners.empty() || length(p - corners.back()) > 1e-5f) corners.push_back(p);
    while (corners.size() > 1 && length(corners.front() - corners.back()) <= 1e-5f) corners.pop_back();
    if (corners.size() < 3) return;
    Vec3 n;
    for (size_t i = 1; i + 1 < corners.size(); ++i) n = n + cross(corners[i] - corners[0], corners[i + 1] - corners[0]);
    n = normalize(n);
    if (dot(n, outward) < 0) n = -n;
    // Planar mapping on the two axes the normal is least aligned with.
    Vec3 t = std::fabs(n.y) < 0.9f ? normalize(cross(Vec3(0, 1, 0), n)) : normalize(cross(Vec3(1, 0, 0), n));
    Vec3 b = cross(n, t);
    uint32_t first = static_cast<uint32_t>(vertices.size());
    for (const Vec3& p : corners) add(p, n, dot(p, t) * uvScale, dot(p, b) * uvScale);
    for (uint32_t i = 1; i + 1 < corners.size(); ++i) triangle(first, first + i, first + i + 1);
}

void Mesh::append(const Mesh& other) {
    uint32_t base = static_cast<uint32_t>(vertices.size());
    vertices.insert(vertices.end(), other.vertices.begin(), other.vertices.end());
    for (uint32_t i : other.indices) indices.push_back(base + i);
}

void Mesh::translate(const Vec3& d) {
    for (Vertex& v : vertices) v.p = v.p + d;
}

void Mesh::scaleAbout(const Vec3& centre, float s) {
    for (Vertex& v : vertices) v.p = centre + (v.p - centre) * s;
}

Vec3 Mesh::centroid() const {
    Vec3 sum;
    for (const Vertex& v : vertices) sum = sum + v.p;
    return vertices.empty() ? sum : sum * (1.0f / vertices.size());
}

} // namespace mesh
