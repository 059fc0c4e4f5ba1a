// Sweeping rings along a spline, the triangle list, smooth normals and the
// static buffers the tube is drawn from.
#include "effects/TubeMesh.h"

#include <cmath>
#include <cstdint>

#include "effects/Spline.h"

using stm::Vector;

TubeMesh::~TubeMesh() {
    if (vertexBuffer_) glDeleteBuffersARB(1, &vertexBuffer_);
    if (indexBuffer_) glDeleteBuffersARB(1, &indexBuffer_);
}

void TubeMesh::build(int segments_, int rings_, float radius, float lookAhead, const Spline& path,
                     const Vector& offset) {
    segments = segments_;
    rings = rings_;
    triangleCount = 2 * segments * rings;
    const size_t vertexCount = static_cast<size_t>(segments) * static_cast<size_t>(rings);
    positions.assign(vertexCount, Vector());
    normals.assign(vertexCount, Vector());
    texCoords.assign(vertexCount, Vector());

    for (int r = 0; r < rings; ++r) {
        const float t = static_cast<float>(r) / static_cast<float>(rings - 1) / (1.0f + lookAhead);
        const Vector w = offset + Vector(path.evaluate(t));
        const Vector v = offset + Vector(path.evaluate(t + lookAhead));
        Vector tangent = v - w;
        tangent.normalize();
        // The ring's second axis is the look-ahead point's direction from
        // the origin, squared to the tangent.
        Vector side = v + v;
        side.normalize();
        Vector across = tangent.crossProduct(side);
        side = across.crossProduct(tangent);
        across.normalize();
        side.normalize();
        for (int j = 0; j < segments; ++j) {
            const float a = static_cast<float>(j) / static_cast<float>(segments - 1) * 2.0f * 3.141592f + 1.57f;
            const float x = std::sin(a) * radius;
            const float y = std::cos(a) * radius;
            positions[static_cast<size_t>(j + r * segments)] = w + across * x + side * y;
        }
    }
    stmLoadBar();
    buildTriangles();
}

void TubeMesh::buildTriangles() {
    const int S = segments, R = rings;
    triangles.clear();
    triangles.reserve(static_cast<size_t>(triangleCount));
    auto add = [this](int a, int b, int c) {
        const Vector& pa = positions[static_cast<size_t>(a)];
        Vector normal = (positions[static_cast<size_t>(b)] - pa).crossProduct(positions[static_cast<size_t>(c)] - pa);
        normal.normalize();
        triangles.push_back(TubeTriangle{a, b, c, normal});
    };
    for (int i = 0; i < R; ++i) {
        const int n = i == R - 1 ? i : (i + 1) % R;
        for (int c = 0; c < S; ++c) {
            const int c1 = (c + 1) % S;
            add(i * S + c, n * S + c1, n * S + c);
            add(i * S + c, i * S + c1, n * S + c1);
        }
    }
    stmLoadBar();

    accumulateNormals();
    for (size_t k = 0; k < positions.size(); ++k) texCoords[k] = Vector(positions[k].x, positions[k].y, 0.0f);
    stmLoadBar();
}

void TubeMesh::accumulateNormals() {
    for (Vector& n : normals) n = Vector();
    for (const TubeTriangle& tri : triangles) {
        normals[static_cast<size_t>(tri.a)] += tri.normal;
        if (tri.b != tri.a) normals[static_cast<size_t>(tri.b)] += tri.normal;
        if (tri.c != tri.a && tri.c != tri.b) normals[static_cast<size_t>(tri.c)] += tri.normal;
    }
    for (Vector& n : normals) n.normalize();
}

void TubeMesh::scanNormals() {
    for (size_t k = 0; k < normals.size(); ++k) {
        const int vertex = static_cast<int>(k);
        Vector sum;
        for (const TubeTriangle& tri : triangles)
            if (tri.a == vertex || tri.b == vertex || tri.c == vertex) sum += tri.normal;
        normals[k] = sum.normalize();
    }
}

void TubeMesh::upload() {
    std::vector<Vector> vertices(positions);
    vertices.insert(vertices.end(), normals.begin(), normals.end());
    vertices.insert(vertices.end(), texCoords.begin(), texCoords.end());
    glGenBuffersARB(1, &vertexBuffer_);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, vertexBuffer_);
    glBufferDataARB(GL_ARRAY_BUFFER_ARB, static_cast<GLsizeiptrARB>(vertices.size() * sizeof(Vector)), vertices.data(),
                    GL_STATIC_DRAW_ARB);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);

    std::vector<GLuint> indices;
    indices.reserve(triangles.size() * 3);
    for (const TubeTriangle& tri : triangles) {
        indices.push_back(static_cast<GLuint>(tri.a));
        indices.push_back(static_cast<GLuint>(tri.b));
        indices.push_back(static_cast<GLuint>(tri.c));
    }
    glGenBuffersARB(1, &indexBuffer_);
    glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, indexBuffer_);
    glBufferDataARB(GL_ELEMENT_ARRAY_BUFFER_ARB, static_cast<GLsizeiptrARB>(indices.size() * sizeof(GLuint)),
                    indices.data(), GL_STATIC_DRAW_ARB);
    glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
}

void TubeMesh::emitTriangles(int count) const {
    for (int t = 0; t < count; ++t) {
        const TubeTriangle& tri = triangles[static_cast<size_t>(t)];
        for (int k : {tri.a, tri.b, tri.c}) {
            const size_t i = static_cast<size_t>(k);
            glTexCoord2fv(&texCoords[i].x);
            glNormal3fv(&normals[i].x);
            glVertex3fv(&positions[i].x);
        }
    }
}

void TubeMesh::drawTriangles(int count) const {
    const uintptr_t vertexBytes = positions.size() * sizeof(Vector);
    const GLsizei stride = sizeof(Vector);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, vertexBuffer_);
    glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, indexBuffer_);
    glVertexPointer(3, GL_FLOAT, stride, nullptr);
    glNormalPointer(GL_FLOAT, stride, reinterpret_cast<const void*>(vertexBytes));
    glTexCoordPointer(2, GL_FLOAT, stride, reinterpret_cast<const void*>(2 * vertexBytes));
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glDrawElements(GL_TRIANGLES, 3 * count, GL_UNSIGNED_INT, nullptr);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
}
