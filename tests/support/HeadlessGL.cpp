// The headless window, read-back and PNG output of the GL tests.
#include "tests/support/HeadlessGL.h"

#include <cstdlib>
#include <filesystem>

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <stb_image_write.h>

namespace headless {

void openWindow(int width, int height, StmRunOptions options, const char* pak, float aspect) {
    options.headless = true;
    stmConfigure(options);
    ASSERT_TRUE(stmInitEx(width, height, 32, false, true, false, false, 8, aspect, 0.0f, pak, 60))
        << "no headless " << width << "x" << height << " window";
}

Pixels readFramebuffer(int x, int y, int width, int height) {
    Pixels rgba(static_cast<size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

Rgba pixelAt(const Pixels& rgba, int width, int x, int y) {
    const uint8_t* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
    return {p[0], p[1], p[2], p[3]};
}

std::string writePNG(const std::string& name, const Pixels& rgba, int width, int height) {
    const char* out = std::getenv("ZEPHRAN_TEST_OUT");
    std::filesystem::path dir = out ? out : "render-test-output";
    std::filesystem::create_directories(dir);
    std::string path = (dir / name).string();
    stbi_flip_vertically_on_write(1);
    EXPECT_NE(stbi_write_png(path.c_str(), width, height, 4, rgba.data(), width * 4), 0) << "cannot write " << path;
    return path;
}

} // namespace headless
