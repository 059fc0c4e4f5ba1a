// TubeMesh: a thin tube swept along a Spline as rings of vertices, with
// smooth normals, texture coordinates taken from the positions, and static
// vertex buffers to draw any leading run of its triangles from.
#pragma once

#include <vector>

#include "engine/stagemill.h"
#include "render/GLExtensions.h"

class Spline;

// Three vertex indices and the face normal of the triangle in that order.
struct TubeTriangle {
    int a, b, c;
    stm::Vector normal;
};

class TubeMesh {
public:
    TubeMesh() = default;
    // Frees the GL buffers when upload() made them (needs the context then).
    ~TubeMesh();
    TubeMesh(const TubeMesh&) = delete;
    TubeMesh& operator=(const TubeMesh&) = delete;

    // Sweeps `segments` vertices around each of `rings` rings along `path`
    // shifted by `offset`: ring r sits at t = r / (rings - 1) / (1 + lookAhead)
    // and faces the point lookAhead further on, so t never runs past the end.
    // The last vertex of a ring repeats the first. Then buildTriangles().
    // Calls stmLoadBar() once here and twice in buildTriangles(). segments
    // and rings are at least 2.
    void build(int segments, int rings, float radius, float lookAhead, const Spline& path, const stm::Vector& offset);
    // Two triangles per vertex, ring by ring from the base (the last ring's
    // pair is degenerate), face normals, smooth vertex normals
    // (accumulateNormals) and texture coordinates (x, y, 0) of the positions.
    void buildTriangles();

    // Each vertex normal is the normalised sum of the face normals of the
    // triangles that hold it, added in triangle order; a triangle that holds
    // a vertex twice adds to it once. One pass over the triangles.
    void accumulateNormals();
    // The same normals, bit for bit, by scanning every triangle for every
    // vertex: the slow reference accumulateNormals is checked against.
    void scanNormals();

    // Copies positions, normals and texture coordinates, one block after the
    // other, into one static vertex buffer and the triangles into an index buffer. Needs a current
    // GL context with the buffer-object entry points; call once, after
    // build(). Leaves no buffer bound.
    void upload();

    // The first `count` triangles, as glTexCoord2fv, glNormal3fv and
    // glVertex3fv per vertex, inside the caller's glBegin(GL_TRIANGLES).
    void emitTriangles(int count) const;
    // The same triangles from the buffers of upload(), with the vertex,
    // normal and unit-0 texture-coordinate arrays enabled only for the draw.
    // Leaves no buffer bound.
    void drawTriangles(int count) const;

    int segments = 0;
    int rings = 0;
    int triangleCount = 0;              // 2 * segments * rings
    std::vector<stm::Vector> positions; // segments * rings, ring by ring
    std::vector<stm::Vector> normals;
    std::vector<stm::Vector> texCoords;
    std::vector<TubeTriangle> triangles;

private:
    GLuint vertexBuffer_ = 0;
    GLuint indexBuffer_ = 0;
};
