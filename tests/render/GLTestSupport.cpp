// Shared pieces of the render tests: the headless context, read-back, PNGs.
#include "tests/render/GLTestSupport.h"

#include <cstdlib>

#include "core/CrtRandom.h"
#include "render/RenderTargets.h"
#include "render/ShaderManager.h"

namespace rtest {

namespace {
std::string g_startupLog;
std::string g_dataDir;
} // namespace

// Every GL test binary links this file, so the context comes up once per
// process before the first test.
::testing::Environment* const g_environment = ::testing::AddGlobalTestEnvironment(new GLEnvironment);

const std::string& startupLog() { return g_startupLog; }

std::string shaderDataDir() {
    const char* source = std::getenv("ZEPHRAN_SOURCE_DIR");
    return std::string(source ? source : ZRENDER_TEST_SOURCE_DIR) + "/data/shaders";
}

void GLEnvironment::SetUp() {
    g_dataDir = shaderDataDir();
    StmRunOptions options;
    options.mute = true;
    options.dataDir = g_dataDir.c_str();
    ASSERT_NO_FATAL_FAILURE(headless::openWindow(kWidth, kHeight, options, "no-such.pak"));
    stmReadPak("no-such.pak");
    crt::srand(1);
    ::testing::internal::CaptureStderr();
    g_renderTargets.init(kWidth, kHeight);
    ShaderManager::create();
    g_startupLog = ::testing::internal::GetCapturedStderr();
}

void GLEnvironment::TearDown() {
    ShaderManager::release();
    g_renderTargets.release();
    stmShutDown();
}

std::vector<uint8_t> readTexture(GLenum target, GLuint texture, int& width, int& height) {
    const GLenum binding = target == GL_TEXTURE_2D ? GL_TEXTURE_2D : GL_TEXTURE_CUBE_MAP;
    if (target == GL_TEXTURE_2D) g_renderTargets.resolveForSampling(texture);
    glBindTexture(binding, texture);
    glGetTexLevelParameteriv(target, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(target, 0, GL_TEXTURE_HEIGHT, &height);
    std::vector<uint8_t> rgba(static_cast<size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(target, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

std::vector<uint8_t> readTexture(GLuint texture, int& width, int& height) {
    return readTexture(GL_TEXTURE_2D, texture, width, height);
}

} // namespace rtest
