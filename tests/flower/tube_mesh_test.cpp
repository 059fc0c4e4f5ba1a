// TubeMesh: ring placement and frame, the triangle order, texture
// coordinates, and smooth normals by one pass against the full scan on the
// effect's real tubes, bit for bit.
#include "effects/TubeMesh.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

#include "effects/ParticleFlower.h"
#include "effects/Random.h"
#include "effects/Spline.h"

namespace {

// Six points on the line x = 1, y = 0, z = 0..5: the curve is z = 1 + 3 t.
void straightPath(Spline& path) {
    for (int j = 0; j < 6; ++j) path.addPoint(stm::Vector3(1.0f, 0.0f, static_cast<float>(j)));
    path.build();
}

bool sameBits(const stm::Vector& a, const stm::Vector& b) { return std::memcmp(&a, &b, sizeof(a)) == 0; }

} // namespace

TEST(TubeMesh, StraightTubeRingsSitAlongThePathFacingIt) {
    Spline path;
    straightPath(path);
    TubeMesh tube;
    tube.build(9, 5, 0.5f, 0.1f, path, stm::Vector(0.0f, 0.0f, 10.0f));
    ASSERT_EQ(tube.positions.size(), 45u);
    EXPECT_EQ(tube.triangleCount, 90);
    for (int r = 0; r < 5; ++r) {
        // Ring r at t = r / 4 / 1.1; the offset moves it 10 along z.
        const float z = 1.0f + 3.0f * (static_cast<float>(r) / 4.0f / 1.1f) + 10.0f;
        // The tangent is +z and the second axis points away from the z axis
        // (+x), so the ring lies in the plane z with vertex j at angle
        // a = j / 8 * 2pi + 1.57 giving (cos a, sin a) * radius around (1, 0).
        for (int j = 0; j < 9; ++j) {
            const stm::Vector& p = tube.positions[static_cast<size_t>(r * 9 + j)];
            const float a = static_cast<float>(j) / 8.0f * 2.0f * 3.141592f + 1.57f;
            EXPECT_NEAR(p.x, 1.0f + 0.5f * std::cos(a), 1e-5f) << r << " " << j;
            EXPECT_NEAR(p.y, 0.5f * std::sin(a), 1e-5f) << r << " " << j;
            EXPECT_NEAR(p.z, z, 1e-5f) << r << " " << j;
        }
        // The last vertex of a ring repeats the first.
        EXPECT_NEAR(tube.positions[static_cast<size_t>(r * 9 + 8)].y, tube.positions[static_cast<size_t>(r * 9)].y,
                    1e-5f);
    }
    // Texture coordinates are the positions' x and y.
    for (size_t k = 0; k < tube.positions.size(); ++k) {
        EXPECT_EQ(tube.texCoords[k].x, tube.positions[k].x);
        EXPECT_EQ(tube.texCoords[k].y, tube.positions[k].y);
        EXPECT_EQ(tube.texCoords[k].z, 0.0f);
    }
    // Smooth normals of a straight tube point straight out of the axis.
    for (int j = 1; j < 8; ++j) {
        const stm::Vector& p = tube.positions[static_cast<size_t>(9 + j)];
        const stm::Vector& n = tube.normals[static_cast<size_t>(9 + j)];
        EXPECT_NEAR(std::fabs(n.x * (p.x - 1.0f) + n.y * p.y), 0.5f, 1e-3f) << j;
        EXPECT_NEAR(n.z, 0.0f, 1e-4f) << j;
    }
}

TEST(TubeMesh, TrianglesRunRingByRingInQuadOrder) {
    Spline path;
    straightPath(path);
    TubeMesh tube;
    tube.build(9, 450, 0.1f, 0.1f, path, stm::Vector());
    ASSERT_EQ(tube.triangles.size(), 8100u);
    auto expect = [&](int t, int a, int b, int c) {
        const TubeTriangle& tri = tube.triangles[static_cast<size_t>(t)];
        EXPECT_EQ(tri.a, a) << "triangle " << t;
        EXPECT_EQ(tri.b, b) << "triangle " << t;
        EXPECT_EQ(tri.c, c) << "triangle " << t;
    };
    expect(0, 0, 10, 9);
    expect(1, 0, 1, 10);
    expect(16, 8, 9, 17); // the seam quad wraps to vertex 0 of each ring
    expect(17, 8, 0, 9);
    expect(18, 9, 19, 18); // ring 1 starts after 2 * 9 triangles
    // The last ring has no next ring: both of its triangles fold onto it.
    const int last = 449 * 9;
    expect(8082, last, last + 1, last);
    expect(8083, last, last + 1, last + 1);
    expect(8099, last + 8, last, last);
    // Face normals: unit length, and zero for the folded triangles.
    const stm::Vector& n = tube.triangles[0].normal;
    EXPECT_NEAR(n.length(), 1.0f, 1e-5f);
    EXPECT_EQ(tube.triangles[8082].normal.length(), 0.0f);
}

TEST(TubeMesh, OnePassNormalsMatchTheFullScanOnTheEffectsTubes) {
    // Flowers 0 and 4, built as the effect builds them (flower 4 after 0..3
    // have drawn their random numbers).
    seedRandom(2323);
    Flower flowers[kFlowerCount];
    for (int f = 0; f < kFlowerCount; ++f) buildFlower(flowers[f], f);
    for (int f : {0, 4}) {
        for (int i : {0, 1, 16}) {
            TubeMesh* tube = flowers[f].tubes[i];
            const std::vector<stm::Vector> onePass = tube->normals;
            tube->scanNormals();
            size_t differing = 0;
            for (size_t k = 0; k < onePass.size(); ++k)
                if (!sameBits(onePass[k], tube->normals[k])) ++differing;
            EXPECT_EQ(differing, 0u) << "flower " << f << " tube " << i;
        }
    }
    for (Flower& flower : flowers)
        for (TubeMesh* tube : flower.tubes) delete tube;
}

TEST(TubeMesh, ATriangleHoldingAVertexTwiceAddsToItOnce) {
    TubeMesh mesh;
    mesh.positions.assign(3, stm::Vector());
    mesh.normals.assign(3, stm::Vector());
    mesh.triangles = {
        TubeTriangle{0, 1, 2, stm::Vector(1.0f, 0.0f, 0.0f)},
        TubeTriangle{0, 0, 1, stm::Vector(0.0f, 3.0f, 0.0f)},
        TubeTriangle{2, 1, 1, stm::Vector(0.0f, 0.0f, 1.0f)},
    };
    mesh.accumulateNormals();
    const std::vector<stm::Vector> onePass = mesh.normals;
    mesh.scanNormals();
    for (size_t k = 0; k < 3; ++k) EXPECT_TRUE(sameBits(onePass[k], mesh.normals[k])) << k;
    // Vertex 0: (1, 0, 0) + (0, 3, 0) once, normalised.
    EXPECT_NEAR(onePass[0].x, 1.0f / std::sqrt(10.0f), 1e-6f);
    EXPECT_NEAR(onePass[0].y, 3.0f / std::sqrt(10.0f), 1e-6f);
    // Vertex 1: all three triangles once each.
    EXPECT_NEAR(onePass[1].length(), 1.0f, 1e-6f);
    EXPECT_NEAR(onePass[1].x * std::sqrt(11.0f), 1.0f, 1e-5f);
}
