// Letter strokes of the scene generator: a chamfered prism stays a closed,
// outward-wound solid whichever of its edges are bevelled, and an edge left
// unbevelled gives a flat side of the full depth that a neighbouring stroke
// can sit flush against.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <tuple>

#include "Shapes.h"

namespace {

using Key = std::tuple<long, long, long>;

Key key(const mesh::Vec3& p) { return {std::lround(p.x * 1e4), std::lround(p.y * 1e4), std::lround(p.z * 1e4)}; }

// Every directed edge of every non-degenerate triangle must be met once by
// the same edge in the other direction: no holes, no flipped faces.
void expectClosed(const mesh::Mesh& m) {
    std::map<std::pair<Key, Key>, int> edges;
    double volume = 0.0;
    for (size_t t = 0; t + 2 < m.indices.size(); t += 3) {
        const mesh::Vec3 &a = m.vertices[m.indices[t]].p, &b = m.vertices[m.indices[t + 1]].p,
                         &c = m.vertices[m.indices[t + 2]].p;
        if (mesh::length(mesh::cross(b - a, c - a)) < 1e-8f) continue;
        volume += mesh::dot(a, mesh::cross(b, c)) / 6.0;
        edges[{key(a), key(b)}]++;
        edges[{key(b), key(c)}]++;
        edges[{key(c), key(a)}]++;
    }
    for (const auto& e : edges) {
        auto back = edges.find({e.first.second, e.first.first});
        ASSERT_TRUE(back != edges.end() && back->second == e.second) << "an edge without its opposite";
    }
    EXPECT_GT(volume, 0.0) << "wound inwards";
}

} // namespace

TEST(Strokes, PrismsStayClosedWithAnyBevelsAndFlushSidesReachTheFullDepth) {
    const std::vector<shapes::P2> box = {{0, 0}, {2, 0}, {2, 1}, {0, 1}};
    const std::vector<shapes::P2> clockwise = {{0, 0}, {0, 1}, {2, 1}, {2, 0}};
    const float depth = 1.0f, chamfer = 0.1f;

    expectClosed(shapes::chamferedPrism(box, depth, chamfer));
    // The right side flush: edge 1 of the anticlockwise box, edge 2 (from
    // (2,1) to (2,0)) of the clockwise one.
    shapes::Mesh ccwFlush = shapes::chamferedPrism(box, depth, chamfer, {true, false, true, true});
    shapes::Mesh cwFlush = shapes::chamferedPrism(clockwise, depth, chamfer, {true, true, false, true});
    expectClosed(ccwFlush);
    expectClosed(cwFlush);
    // Two opposite flush sides, as a bar between two stems has.
    expectClosed(shapes::chamferedPrism(box, depth, chamfer, {true, false, true, false}));

    for (const shapes::Mesh* m : {&ccwFlush, &cwFlush}) {
        // The front face reaches x = 2 on the flush side, and the left side
        // keeps its bevel: nothing at the front corner x = 0.
        bool frontAtRight = false, frontAtLeft = false;
        for (const mesh::Vertex& v : m->vertices) {
            if (std::fabs(v.p.z - depth / 2) > 1e-5f) continue;
            frontAtRight = frontAtRight || std::fabs(v.p.x - 2.0f) < 1e-5f;
            frontAtLeft = frontAtLeft || std::fabs(v.p.x) < 1e-5f;
        }
        EXPECT_TRUE(frontAtRight);
        EXPECT_FALSE(frontAtLeft);
    }
}
