// Cube maps on a real (headless) driver: the render-to-cube sequence into
// the cube and the named face textures, and the sky box.
#include "tests/render/GLTestSupport.h"

#include <cstdlib>
#include <cstring>

#include "render/Cubemap.h"

namespace {

const float kFaceColours[6][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 0}, {0, 1, 1}, {1, 0, 1}};

TEST(Cubemap, RenderedSidesLandInTheCubeAndTheNamedFaceTextures) {
    Cubemap cube;
    cube.setupDynamic(32, "envtest");
    EXPECT_TRUE(cube.dynamic);
    EXPECT_TRUE(cube.keepFaceTextures);
    cube.startRendering();
    for (int side = 0; side < 6; ++side) {
        cube.setupRenderSide(side);
        glClearColor(kFaceColours[side][0], kFaceColours[side][1], kFaceColours[side][2], 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        cube.finishRenderSide(side);
    }
    cube.endRendering();
    glDisable(GL_TEXTURE_CUBE_MAP);

    for (int side = 0; side < 6; ++side) {
        int w = 0, h = 0;
        std::vector<uint8_t> face = rtest::readTexture(GL_TEXTURE_CUBE_MAP_POSITIVE_X + side, cube.getID(), w, h);
        ASSERT_EQ(w, 32);
        rtest::Rgba p = rtest::pixelAt(face, w, 16, 16);
        EXPECT_EQ(p.r, kFaceColours[side][0] * 255) << "cube face " << side;
        EXPECT_EQ(p.g, kFaceColours[side][1] * 255) << "cube face " << side;
        EXPECT_EQ(p.b, kFaceColours[side][2] * 255) << "cube face " << side;

        const std::string name = "envtest0" + std::to_string(side);
        EXPECT_EQ(cube.faceNames[side], name);
        stm::Texture* engineTexture = stmGetTexture(name.c_str());
        EXPECT_EQ(engineTexture->getID(), cube.faceTextures[side]);
        std::vector<uint8_t> kept = rtest::readTexture(cube.faceTextures[side], w, h);
        ASSERT_EQ(w, 32) << name;
        p = rtest::pixelAt(kept, w, 5, 27);
        EXPECT_EQ(p.b, kFaceColours[side][2] * 255) << name;
    }
}

// One white 4x4 engine texture used on all six faces.
stm::Texture* whiteTexture() {
    static stm::Texture* t = nullptr;
    if (!t) {
        unsigned char* rgba = static_cast<unsigned char*>(std::malloc(4 * 4 * 4));
        std::memset(rgba, 255, 4 * 4 * 4);
        GLuint id = 0;
        glGenTextures(1, &id);
        glBindTexture(GL_TEXTURE_2D, id);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 4, 4, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        t = new stm::Texture(id, 4, 4, rgba);
    }
    return t;
}

int litPixels(float halfSize) {
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glColor3f(1.0f, 1.0f, 1.0f);
    stmSetPerspective(90.0f, 0.1f, 100.0f);
    glLoadIdentity();
    static Cubemap sky;
    if (!sky.getID()) sky.setupStatic(whiteTexture());
    sky.renderCube(halfSize);
    std::vector<uint8_t> px = rtest::readFramebuffer(rtest::kWidth, rtest::kHeight);
    int lit = 0;
    for (size_t i = 0; i < px.size(); i += 4) lit += px[i] > 0;
    return lit;
}

TEST(Cubemap, SkyBoxSurroundsTheViewerAndCollapsesAtSizeZero) {
    EXPECT_EQ(litPixels(0.0f), 0);
    EXPECT_EQ(litPixels(5.0f), rtest::kWidth * rtest::kHeight);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
}

} // namespace
