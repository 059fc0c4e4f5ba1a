// Triangle meshes as the scene generators build them: one index per corner
// addressing a vertex that carries position, normal and texture coordinate.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

namespace mesh {

struct Vec3 {
    float x = 0, y = 0, z = 0;
    Vec3() = default;
    Vec3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
    Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec3 operator-(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vec3 operator*(float s) const { return {x * s, y * s, z * s}; }
    Vec3 operator-() const { return {-x, -y, -z}; }
};

inline float dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 cross(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float length(const Vec3& a) { return std::sqrt(dot(a, a)); }
inline Vec3 normalize(const Vec3& a) {
    float l = length(a);
    return l > 0 ? a * (1 / l) : a;
}

struct Vertex {
    Vec3 p, n;
    float u = 0, v = 0;
};

struct Mesh {
    std::vector<Vertex> vertices;
    std::vector<uint32_t> indices; // three per triangle

    uint32_t add(const Vec3& p, const Vec3& n, float u, float v);
    // Adds a triangle of existing vertices, wound counter-clockwise as seen
    // from the side its vertex normals face.
    void triangle(uint32_t a, uint32_t b, uint32_t c);
    // A flat convex polygon with its own vertices and one face normal, turned
    // to the side `outward` points to; corners in either winding. Texture
    // coordinates are planar, `uvScale` per unit.
    void flatPolygon(const std::vector<Vec3>& corners, float uvScale, const Vec3& outward);
    void append(const Mesh& other);
    void translate(const Vec3& d);
    void scaleAbout(const Vec3& centre, float s);
    Vec3 centroid() const; // mean of the vertex positions
    size_t triangleCount() const { return indices.size() / 3; }
};

} // namespace mesh
