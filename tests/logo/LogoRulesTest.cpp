// The Logo's rules that need no GL: piece scatter by position and distance
// from the centre, the flare batch (none before 0.05, reproducible), and the
// shadow-lookup matrix that maps camera eye space into the light's map.
#include <gtest/gtest.h>

#include <cmath>

#include "effects/Logo.h"
#include "effects/Random.h"
#include "effects/ShadowLookup.h"

using namespace ZEPHRAN_STAGEMILL;

// Pieces sit at local x = h * 10.5 (either side of the centre).
static float scatterAt(float position, float h) { return logoPieceScatter(position, h * 10.5f); }

TEST(LogoScatter, PiecesAssembleFromTheCentreOutwards) {
    for (float h : {0.0f, 0.3f, 0.7f, 1.0f, 1.5f}) {
        EXPECT_GE(scatterAt(0.0f, h), 0.5f) << "h " << h; // all scattered at the start
        EXPECT_GE(scatterAt(0.0f, -h), 0.5f) << "h " << -h;
    }
    EXPECT_FLOAT_EQ(scatterAt(0.0f, 0.0f), 0.5f);
    EXPECT_FLOAT_EQ(scatterAt(0.0f, 1.5f), 1.0f); // clamped

    EXPECT_FLOAT_EQ(scatterAt(0.25f, 0.0f), 0.0f); // centre in place
    EXPECT_GT(scatterAt(0.25f, 0.5f), 0.0f);       // outer pieces still flying

    for (float h : {0.0f, 0.5f, 1.0f}) EXPECT_FLOAT_EQ(scatterAt(0.75f, h), 0.0f) << "h " << h;
    EXPECT_GT(scatterAt(0.75f, 1.1f), 0.0f);
    EXPECT_GT(scatterAt(0.75f, -1.1f), 0.0f);

    for (float h : {0.0f, 1.0f, 1.5f}) EXPECT_FLOAT_EQ(scatterAt(1.0f, h), 0.0f) << "h " << h;
    EXPECT_GT(scatterAt(1.0f, 1.6f), 0.0f);
}

TEST(LogoFlares, NoneBeforeFivePercentThenAllSixty) {
    Array<FlareQuad> flares;
    for (float position : {0.0f, 0.02f, 0.0499f, 0.05f}) {
        buildLogoFlares(position, flares);
        EXPECT_EQ(flares.size(), 0u) << "position " << position;
    }
    buildLogoFlares(0.06f, flares);
    EXPECT_EQ(flares.size(), 60u);
    buildLogoFlares(0.5f, flares);
    ASSERT_EQ(flares.size(), 60u);
    for (unsigned int i = 0; i < flares.size(); ++i) EXPECT_GT(flares.get(i).halfSize, 0.0f);
}

TEST(LogoFlares, SamePositionSameFlaresWhateverTheGeneratorHeld) {
    Array<FlareQuad> first, second;
    seedRandom(1);
    buildLogoFlares(0.4f, first);
    for (int i = 0; i < 17; ++i) frand();
    buildLogoFlares(0.4f, second);
    ASSERT_EQ(first.size(), second.size());
    for (unsigned int i = 0; i < first.size(); ++i) {
        const FlareQuad a = first.get(i), b = second.get(i);
        EXPECT_EQ(a.x, b.x);
        EXPECT_EQ(a.y, b.y);
        EXPECT_EQ(a.angle, b.angle);
        EXPECT_EQ(a.halfSize, b.halfSize);
        EXPECT_EQ(a.z, b.z);
    }
}

// gluPerspective / gluLookAt as column-major matrices, for a light and a camera.
static Matrix4 perspective(float fovDegrees, float aspect, float zNear, float zFar) {
    Matrix4 p;
    const float f = 1.0f / std::tan(fovDegrees * 3.14159265f / 360.0f);
    p.m[0] = f / aspect;
    p.m[5] = f;
    p.m[10] = (zFar + zNear) / (zNear - zFar);
    p.m[11] = -1.0f;
    p.m[14] = 2.0f * zFar * zNear / (zNear - zFar);
    p.m[15] = 0.0f;
    return p;
}

static Matrix4 lookAt(Vector3 eye, Vector3 target, Vector3 up) {
    Vector3 f = target - eye;
    f.normalize();
    Vector3 s = f.crossProduct(up);
    s.normalize();
    const Vector3 u = s.crossProduct(f);
    Matrix4 m;
    m.m[0] = s.x;
    m.m[4] = s.y;
    m.m[8] = s.z;
    m.m[1] = u.x;
    m.m[5] = u.y;
    m.m[9] = u.z;
    m.m[2] = -f.x;
    m.m[6] = -f.y;
    m.m[10] = -f.z;
    m.m[12] = -s.dot(eye);
    m.m[13] = -u.dot(eye);
    m.m[14] = f.dot(eye);
    return m;
}

TEST(ShadowLookup, CameraEyeSpaceLandsOnTheLightsMap) {
    const Matrix4 lightProjection = perspective(100.0f, 1.0f, 1.0f, 20.0f);
    const Matrix4 lightModelview = lookAt(Vector3(2.5f, 10.0f, 3.5f), Vector3(0, 0, 0), Vector3(0, 1, 0));
    // A camera that is translated and turned, so a lookup that lost the
    // inverse's translation or rotation misses.
    const Matrix4 camera = lookAt(Vector3(0.0f, 3.45f, 8.5f), Vector3(0.0f, 1.45f, 0.0f), Vector3(0.025f, 1, 0));
    const Matrix4 lookup = shadowLookupMatrix(lightProjection, lightModelview, camera);

    // The light's target (the origin) is the middle of the map.
    Vector c = lookup * (camera * Vector(0, 0, 0, 1));
    EXPECT_NEAR(c.x / c.w, 0.5f, 1e-4f);
    EXPECT_NEAR(c.y / c.w, 0.5f, 1e-4f);

    // Any world point: same place and depth as seen directly from the light.
    for (const Vector& p : {Vector(3, 0.5f, -2, 1), Vector(-6, 2, 1, 1), Vector(1, 4, 3, 1)}) {
        const Vector viaCamera = lookup * (camera * p);
        const Vector direct = lightProjection * (lightModelview * p);
        for (int k = 0; k < 3; ++k) {
            const float fromCamera = (&viaCamera.x)[k] / viaCamera.w;
            const float fromLight = 0.5f + 0.5f * (&direct.x)[k] / direct.w;
            EXPECT_NEAR(fromCamera, fromLight, 1e-4f) << "component " << k;
        }
        EXPECT_GT(viaCamera.z / viaCamera.w, 0.0f);
        EXPECT_LT(viaCamera.z / viaCamera.w, 1.0f);
    }
}
