// A headless GL context: the pattern every GL test follows (configure
// headless, stmInitEx at a small size, draw, read pixels back, shut down).
#include "engine/stagemill.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace {

class HeadlessContext : public ::testing::Test {
protected:
    void SetUp() override
    {
        StmRunOptions options;
        options.headless = true;
        stmConfigure(options);
        ASSERT_TRUE(stmInitEx(64, 48, 32, false, true, false, false, 8, 0.0f, 0.0f, "data.pak", 60));
    }
    void TearDown() override { stmShutDown(); }
};

TEST_F(HeadlessContext, ClearsAndReadsBackAPixel)
{
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

} // namespace
