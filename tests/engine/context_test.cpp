// The headless GL context, the viewport's aspect bars and the math classes
// checked against what OpenGL itself computes.
#include "TestData.h"

#include <GL/gl.h>

#include <cmath>

namespace {

using stm::Matrix4;
using stm::Vector;
using stm::Vector3;

class ContextTest : public HeadlessTest {};

TEST_F(ContextTest, ClearsAndReadsBackAPixel) {
    open(64, 48);
    EXPECT_EQ(stmGetWindowWidth(), 64);
    EXPECT_EQ(stmGetWindowHeight(), 48);
    glClearColor(1.0f, 0.5f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    unsigned char pixel[4] = {0, 0, 0, 0};
    glReadPixels(10, 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[0], 255);
    EXPECT_NEAR(pixel[1], 128, 1);
    EXPECT_EQ(pixel[2], 0);
    EXPECT_NE(stmGetProcAddress("glBindFramebufferEXT"), nullptr);
    const char* version = stmGetGLString(GL_VERSION);
    ASSERT_NE(version, nullptr);
    EXPECT_NE(std::string(version).find("Compatibility"), std::string::npos) << version;
}

TEST_F(ContextTest, OverriddenLookupsStandInForTheDriver) {
    open(16, 16);
    stmOverrideGL([](const char*) -> void* { return nullptr; }, [](unsigned) -> const char* { return "fake"; });
    EXPECT_EQ(stmGetProcAddress("glBindFramebufferEXT"), nullptr);
    EXPECT_STREQ(stmGetGLString(GL_EXTENSIONS), "fake");
    stmOverrideGL(nullptr, nullptr);
    EXPECT_NE(stmGetProcAddress("glBindFramebufferEXT"), nullptr);
}

TEST_F(ContextTest, ChosenAspectLetterboxesThePicture) {
    open(200, 100, StmRunOptions(), 1.0f); // square picture in a 2:1 window
    EXPECT_EQ(stmGetWindowWidth(), 200);
    EXPECT_EQ(stmGetWidth(), 100);
    EXPECT_EQ(stmGetHeight(), 100);
    EXPECT_FLOAT_EQ(stmGetAspectRatio(), 1.0f);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 50);
    EXPECT_EQ(viewport[1], 0);
    EXPECT_EQ(viewport[2], 100);
    stmShutDown();

    open(100, 100, StmRunOptions(), 2.0f); // wide picture: bars above and below
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[1], 25);
    EXPECT_EQ(viewport[3], 50);
}

void expectMatrixNear(const float* a, const float* b) {
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(a[i], b[i], 1e-5f) << "element " << i;
}

TEST_F(ContextTest, Matrix4AgreesWithTheGLMatrixStack) {
    open(16, 16);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1, 2, 3);
    glRotatef(30, 0, 1, 1);
    glScalef(2, 3, 4);
    float gl[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, gl);
    Matrix4 t, r, s;
    t.makeTranslation(1, 2, 3);
    r.makeRotation(30, 0, 1, 1);
    s.makeScaleXYZ(2, 3, 4);
    Matrix4 m = t * r * s;
    expectMatrixNear(m.m, gl);

    Matrix4 identity;
    expectMatrixNear((m * m.inverse()).m, identity.m);
    Vector p = m * Vector(1, 1, 1, 1);
    Vector3 q = m.multipleBy3x3(Vector3(1, 1, 1));
    EXPECT_NEAR(p.x - q.x, 1.0f, 1e-5f); // only the full product translates
    EXPECT_NEAR(p.w, 1.0f, 1e-6f);
    // The normal matrix keeps normals perpendicular to scaled surfaces.
    Vector3 tangent = m.multipleBy3x3(Vector3(1, -1, 0));
    Vector3 normal = m.inverseTranspose().multipleBy3x3(Vector3(1, 1, 0));
    EXPECT_NEAR(tangent.dot(normal), 0.0f, 1e-4f);

    float zero[16] = {};
    expectMatrixNear(Matrix4(zero).inverse().m, identity.m);
}

TEST(Vectors, NormalisingZeroGivesZeroAndCrossProductsFollowTheRightHand) {
    Vector3 z3;
    z3.normalize();
    EXPECT_EQ(z3.x, 0.0f);
    EXPECT_FALSE(std::isnan(z3.y));
    Vector z4(0, 0, 0, 5);
    z4.normalize();
    EXPECT_EQ(z4.x, 0.0f);
    EXPECT_EQ(z4.w, 5.0f);
    Vector c = Vector(1, 0, 0, 7).crossProduct(Vector(0, 1, 0, 7));
    EXPECT_EQ(c.z, 1.0f);
    EXPECT_EQ(c.w, 0.0f);
    Vector3 n = Vector3(3, 0, 4).normalize();
    EXPECT_FLOAT_EQ(n.length(), 1.0f);
    Vector widened = Vector3(1, 2, 3);
    EXPECT_EQ(widened.w, 0.0f);
}

} // namespace
