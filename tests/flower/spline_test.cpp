// Spline: Catmull-Rom values worked out by hand, the ends, clamping, and
// curves too short to have a segment. Run under the sanitizer build, the
// end cases also prove no read past the control points.
#include "effects/Spline.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

void expectNear(const stm::Vector3& v, float x, float y, float z) {
    EXPECT_NEAR(v.x, x, 1e-6f);
    EXPECT_NEAR(v.y, y, 1e-6f);
    EXPECT_NEAR(v.z, z, 1e-6f);
}

void expectEq(const stm::Vector3& v, const stm::Vector3& w) {
    EXPECT_EQ(v.x, w.x);
    EXPECT_EQ(v.y, w.y);
    EXPECT_EQ(v.z, w.z);
}

} // namespace

TEST(Spline, FourPointsThroughTheInnerPairAndBetween) {
    Spline s;
    s.addPoint(stm::Vector3(0, 0, 0));
    s.addPoint(stm::Vector3(1, 0, 0));
    s.addPoint(stm::Vector3(2, 2, 0));
    s.addPoint(stm::Vector3(4, 0, 1));
    s.build();
    ASSERT_EQ(s.getCount(), 4);
    expectNear(s.evaluate(0.0f), 1, 0, 0);
    expectNear(s.evaluate(1.0f), 2, 2, 0);
    // u = 0.5: 0.5 * (2 P1 + (P2 - P0) / 2 + (2 P0 - 5 P1 + 4 P2 - P3) / 4
    //                 + (-P0 + 3 P1 - 3 P2 + P3) / 8)
    expectNear(s.evaluate(0.5f), 1.4375f, 1.125f, -0.0625f);
    // t is clamped.
    expectNear(s.evaluate(-3.0f), 1, 0, 0);
    expectNear(s.evaluate(7.0f), 2, 2, 0);
    expectNear(s.evaluate(NAN), 1, 0, 0);
}

TEST(Spline, LongerCurveWalksItsSegmentsAndEndsOnTheSecondToLast) {
    Spline s;
    for (int i = 0; i < 6; ++i) s.addPoint(stm::Vector3(float(i), float(i * i), -float(i)));
    s.build();
    // Three segments: t = 1/3 and 2/3 land on points 2 and 3.
    expectNear(s.evaluate(0.0f), 1, 1, -1);
    expectNear(s.evaluate(1.0f / 3.0f), 2, 4, -2);
    expectNear(s.evaluate(2.0f / 3.0f), 3, 9, -3);
    expectEq(s.evaluate(1.0f), s.getPoints()[4]);
    // Middle of segment 2 (points 1..4). Uniform Catmull-Rom reproduces
    // polynomials up to degree two, so x, y = i^2 and z give i = 2.5 exactly.
    expectNear(s.evaluate(0.5f), 2.5f, 6.25f, -2.5f);
    // Just below 1 stays inside the array and near the end point.
    const stm::Vector3 nearEnd = s.evaluate(std::nextafter(1.0f, 0.0f));
    EXPECT_NEAR(nearEnd.y, 16.0f, 1e-4f);
}

TEST(Spline, BuildTakesPendingPointsAndReleaseEmpties) {
    Spline s;
    s.addPoint(stm::Vector3(9, 9, 9));
    s.build();
    EXPECT_EQ(s.getCount(), 1);
    for (int i = 0; i < 4; ++i) s.addPoint(stm::Vector3(float(i), 0, 0));
    s.build(); // a second build replaces, not appends
    ASSERT_EQ(s.getCount(), 4);
    expectNear(s.evaluate(0.0f), 1, 0, 0);
    s.build(); // nothing pending: an empty curve
    EXPECT_EQ(s.getCount(), 0);
    expectEq(s.evaluate(0.5f), stm::Vector3());
    s.addPoint(stm::Vector3(1, 2, 3));
    s.build();
    s.release();
    EXPECT_EQ(s.getCount(), 0);
    EXPECT_EQ(s.getPoints(), nullptr);
    expectEq(s.evaluate(1.0f), stm::Vector3());
}

TEST(Spline, FewerThanFourPointsStayInsideTheArray) {
    Spline one;
    one.addPoint(stm::Vector3(5, 6, 7));
    one.build();
    for (float t : {0.0f, 0.5f, 1.0f}) expectNear(one.evaluate(t), 5, 6, 7);

    Spline three;
    three.addPoint(stm::Vector3(0, 0, 0));
    three.addPoint(stm::Vector3(1, 0, 0));
    three.addPoint(stm::Vector3(3, 0, 0));
    three.build();
    expectNear(three.evaluate(0.0f), 1, 0, 0);
    expectNear(three.evaluate(1.0f), 3, 0, 0);
    const float mid = three.evaluate(0.5f).x;
    EXPECT_GT(mid, 1.0f);
    EXPECT_LT(mid, 3.0f);

    Spline two;
    two.addPoint(stm::Vector3(0, 1, 0));
    two.addPoint(stm::Vector3(0, 2, 0));
    two.build();
    expectNear(two.evaluate(0.0f), 0, 2, 0);
    expectNear(two.evaluate(1.0f), 0, 2, 0);
}
