// Shared pieces of the render tests: a headless GL context with the render
// targets and the shader registry built once per test process, pixel
// read-back, and PNG output for looking at what a test drew.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/stagemill.h"
#include "render/GLExtensions.h"

namespace rtest {

const int kWidth = 320;
const int kHeight = 180;

// The engine's log of RenderTargets::init and ShaderManager::create.
const std::string& startupLog();

// The archive shaders of the source tree (data/shaders).
std::string shaderDataDir();

// RGBA bytes of a texture's level 0, rows bottom first, as a sampler sees
// it (a scene texture is resolved first).
std::vector<uint8_t> readTexture(GLuint texture, int& width, int& height);
std::vector<uint8_t> readTexture(GLenum target, GLuint texture, int& width, int& height);
// RGBA bytes of the bound framebuffer's lower-left width x height pixels.
std::vector<uint8_t> readFramebuffer(int width, int height);

struct Rgba {
    int r, g, b, a;
};
Rgba pixelAt(const std::vector<uint8_t>& rgba, int width, int x, int y);

// Writes rows-bottom-first RGBA as a PNG under the test output folder
// ($ZEPHRAN_TEST_OUT, else render-test-output/) and returns its path.
std::string writePNG(const std::string& name, const std::vector<uint8_t>& rgba, int width, int height);

// Installs the process-wide context of the GL tests (once per binary).
class GLEnvironment : public ::testing::Environment {
public:
    void SetUp() override;
    void TearDown() override;
};

} // namespace rtest
