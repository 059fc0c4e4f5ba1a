// The clip-volume test that lets scenes leave out draws which cannot touch
// a pixel: hand-worked boxes against an identity view and a perspective.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "scene/Bounds.h"

namespace {

Box box(float x0, float x1, float y0, float y1, float z0, float z1) {
    Box b;
    b.include(x0, y0, z0);
    b.include(x1, y1, z1);
    return b;
}

const float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// gluPerspective(90, 1, 1, 10), column-major: x_c = x, y_c = y,
// z_c = -11/9 z - 20/9, w = -z.
const float kPerspective[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -11.0f / 9, -1, 0, 0, -20.0f / 9, 0};

} // namespace

TEST(Bounds, BoxesGrowToCoverWhatTheyInclude) {
    Box b;
    EXPECT_TRUE(b.empty);
    b.include(1, -2, 3);
    b.include(-1, 5, 4);
    EXPECT_FALSE(b.empty);
    EXPECT_EQ(b.min[0], -1.0f);
    EXPECT_EQ(b.max[1], 5.0f);
    EXPECT_EQ(b.min[2], 3.0f);
    Box other = box(0, 9, 0, 0, 0, 0);
    b.include(other);
    EXPECT_EQ(b.max[0], 9.0f);
    EXPECT_EQ(b.min[1], -2.0f);
    b.include(Box()); // an empty box adds nothing
    EXPECT_EQ(b.max[0], 9.0f);
    Box wild;
    wild.unbounded = true;
    b.include(wild);
    EXPECT_TRUE(b.unbounded);
}

TEST(Bounds, OnlyBoxesBeyondOnePlaneAreOutside) {
    EXPECT_FALSE(boxOutsideClipVolume(kIdentity, box(-0.5f, 0.5f, -0.5f, 0.5f, -0.5f, 0.5f)));
    EXPECT_FALSE(boxOutsideClipVolume(kIdentity, box(0.5f, 3, -0.5f, 0.5f, -0.5f, 0.5f))); // straddles x = 1
    EXPECT_FALSE(boxOutsideClipVolume(kIdentity, box(-9, 9, -9, 9, -9, 9)));               // holds the volume
    for (int axis = 0; axis < 3; ++axis)
        for (float side : {-1.0f, 1.0f}) {
            float lo[3] = {-0.5f, -0.5f, -0.5f}, hi[3] = {0.5f, 0.5f, 0.5f};
            lo[axis] = side > 0 ? 2.0f : -3.0f;
            hi[axis] = side > 0 ? 3.0f : -2.0f;
            EXPECT_TRUE(boxOutsideClipVolume(kIdentity, box(lo[0], hi[0], lo[1], hi[1], lo[2], hi[2])))
                << axis << " " << side;
        }
    // Beyond +x and +y at once still has one plane all corners are beyond.
    EXPECT_TRUE(boxOutsideClipVolume(kIdentity, box(2, 3, 2, 3, 0, 0)));
}

TEST(Bounds, PerspectiveCutsBehindTheEyeBeyondFarAndAtTheSides) {
    // z in [1, 2]: behind the eye, w < 0; z_c + w = -40/9 at z = 1.
    EXPECT_TRUE(boxOutsideClipVolume(kPerspective, box(-1, 1, -1, 1, 1, 2)));
    // Beyond far: at z = -11, z_c = 101/9 > w = 11.
    EXPECT_TRUE(boxOutsideClipVolume(kPerspective, box(-1, 1, -1, 1, -12, -11)));
    // Through the near plane and out along the view: seen.
    EXPECT_FALSE(boxOutsideClipVolume(kPerspective, box(-0.1f, 0.1f, -0.1f, 0.1f, -20, 5)));
    // At z = -10 the side plane is x = 10.
    EXPECT_TRUE(boxOutsideClipVolume(kPerspective, box(11, 12, 0, 1, -10, -10)));
    EXPECT_FALSE(boxOutsideClipVolume(kPerspective, box(9.995f, 12, 0, 1, -10, -10)));
    // 0.005 beyond the plane is inside the margin (0.02 there): kept.
    EXPECT_FALSE(boxOutsideClipVolume(kPerspective, box(10.005f, 12, 0, 1, -10, -10)));
    // Across the eye plane (w from -1 to 1) but x >= 5 > |w| throughout.
    EXPECT_TRUE(boxOutsideClipVolume(kPerspective, box(5, 6, 0, 1, -1, 1)));
    // Across the eye plane with x on both sides of the view: kept.
    EXPECT_FALSE(boxOutsideClipVolume(kPerspective, box(-6, 6, 0, 1, -1, 1)));
}

TEST(Bounds, UnknownBoundsAndBrokenMatricesAreNeverOutside) {
    EXPECT_FALSE(boxOutsideClipVolume(kIdentity, Box()));
    Box far = box(5, 6, 5, 6, 5, 6);
    ASSERT_TRUE(boxOutsideClipVolume(kIdentity, far));
    far.unbounded = true;
    EXPECT_FALSE(boxOutsideClipVolume(kIdentity, far));
    float broken[16];
    for (int i = 0; i < 16; ++i) broken[i] = kIdentity[i];
    broken[12] = std::numeric_limits<float>::quiet_NaN();
    EXPECT_FALSE(boxOutsideClipVolume(broken, box(5, 6, 5, 6, 5, 6)));
    broken[12] = std::numeric_limits<float>::infinity();
    EXPECT_FALSE(boxOutsideClipVolume(broken, box(5, 6, 5, 6, 5, 6)));
}
