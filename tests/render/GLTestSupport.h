// The render tests' context on the headless harness: the render targets and
// the shader registry built once per test process over the source tree's
// shaders, and texture read-back; pixel read-back and PNG output are the
// harness's.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/stagemill.h"
#include "render/GLExtensions.h"
#include "tests/support/HeadlessGL.h"

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
inline std::vector<uint8_t> readFramebuffer(int width, int height) {
    return headless::readFramebuffer(0, 0, width, height);
}

using headless::pixelAt;
using headless::Rgba;
using headless::writePNG;

// Installs the process-wide context of the GL tests (once per binary).
class GLEnvironment : public ::testing::Environment {
public:
    void SetUp() override;
    void TearDown() override;
};

} // namespace rtest
