// The start-up capability checks against a stand-in driver: the extension
// string and the entry-point lookup are replaced at the engine boundary, the
// framebuffer status can be forced, and the exit handler throws, so every
// stop's message box, caption and exit status can be observed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <sstream>
#include <string>

#include "engine/stagemill.h"
#include "render/RenderTargets.h"
#include "tests/support/HeadlessGL.h"

namespace {

struct Stopped {
    int code;
};

struct FakeDriver {
    std::string extensions;
    std::set<std::string> missing;
    int unsupportedFromCall = 0; // 1-based; 0 = never
    bool depthAlwaysIncomplete = false;
    int statusCalls = 0;
};

FakeDriver g_fake;
std::string g_realExtensions;
PFNGLCHECKFRAMEBUFFERSTATUSEXTPROC g_realCheck = nullptr;
void* fakeProc(const char* name);

const char* fakeString(unsigned int name) {
    if (name == GL_EXTENSIONS) return g_fake.extensions.c_str();
    return reinterpret_cast<const char*>(glGetString(name));
}

GLenum APIENTRY fakeCheckStatus(GLenum target) {
    ++g_fake.statusCalls;
    if (g_fake.unsupportedFromCall && g_fake.statusCalls >= g_fake.unsupportedFromCall)
        return GL_FRAMEBUFFER_UNSUPPORTED_EXT;
    if (g_fake.depthAlwaysIncomplete) return GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT_EXT;
    return g_realCheck(target);
}

void* fakeProc(const char* name) {
    if (g_fake.missing.count(name)) return nullptr;
    if (!std::strcmp(name, "glCheckFramebufferStatusEXT")) return reinterpret_cast<void*>(&fakeCheckStatus);
    stmOverrideGL(nullptr, fakeString);
    void* real = stmGetProcAddress(name);
    stmOverrideGL(fakeProc, fakeString);
    return real;
}

// The real extension string without every name that contains `part`.
std::string extensionsWithout(std::initializer_list<const char*> parts) {
    std::istringstream in(g_realExtensions);
    std::string out, name;
    while (in >> name) {
        bool drop = false;
        for (const char* p : parts) drop = drop || name.find(p) != std::string::npos;
        if (!drop) out += name + " ";
    }
    return out;
}

struct Outcome {
    bool stopped = false;
    int code = 0;
    std::string log;
};

Outcome runInit(int width = 64, int height = 48) {
    Outcome o;
    g_fake.statusCalls = 0;
    stmOverrideGL(fakeProc, fakeString);
    ::testing::internal::CaptureStderr();
    try {
        g_renderTargets.init(width, height);
    } catch (const Stopped& s) {
        o.stopped = true;
        o.code = s.code;
    }
    o.log = ::testing::internal::GetCapturedStderr();
    stmOverrideGL(nullptr, nullptr);
    return o;
}

class CapabilityStops : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        StmRunOptions options;
        options.mute = true;
        ASSERT_NO_FATAL_FAILURE(headless::openWindow(64, 48, options, "no-such.pak"));
        g_realExtensions = stmGetGLString(GL_EXTENSIONS);
        g_realCheck =
            reinterpret_cast<PFNGLCHECKFRAMEBUFFERSTATUSEXTPROC>(stmGetProcAddress("glCheckFramebufferStatusEXT"));
        stmSetExitHandler([](int code) { throw Stopped{code}; });
    }
    static void TearDownTestSuite() {
        stmSetExitHandler(nullptr);
        stmShutDown();
    }
    void SetUp() override { g_fake = FakeDriver{g_realExtensions, {}, 0, false, 0}; }
    void TearDown() override { g_renderTargets.release(); }
};

bool has(const std::string& log, const std::string& text) { return log.find(text) != std::string::npos; }

TEST_F(CapabilityStops, HealthyDriverStartsWithoutAStop) {
    Outcome o = runInit();
    EXPECT_FALSE(o.stopped) << o.log;
    EXPECT_TRUE(g_multisampleAvailable);
    EXPECT_FALSE(has(o.log, "Framebuffer incomplete"));
}

struct StopCase {
    const char* what;
    void (*breakDriver)();
    const char* boxText; // as the engine prints it: "[caption] text"
};

TEST_F(CapabilityStops, EveryMissingRequirementStopsWithItsBoxAndANonZeroStatus) {
    const StopCase cases[] = {
        {"multitexture entry point", [] { g_fake.missing = {"glMultiTexCoord4fARB"}; },
         "[ERROR] Some needed OpenGL extensions could not be found.\nPlease update your video card drivers!\n\n"
         "[ext. funcs:glActiveTextureARB or glMultiTexCoord2fARB or glMultiTexCoord4fARB]"},
        {"only ARB cube maps", [] { g_fake.extensions = extensionsWithout({"EXT_texture_cube_map"}); },
         "[ERROR] Your graphics card didn't support cube map texturing.\nTry updating your video card drivers \n"
         "(EXT_texture_cube_map extension was not found)"},
        {"no vertex buffer objects", [] { g_fake.extensions = extensionsWithout({"GL_ARB_vertex_buffer_object"}); },
         "[ERROR] Your graphics card doesn't support vertex buffer objects.\nTry updating your video card drivers \n"
         "(GL_ARB_vertex_buffer_object extension was not found)"},
        {"buffer entry point", [] { g_fake.missing = {"glBufferDataARB"}; },
         "(not all GL_ARB_vertex_buffer_object functions could be fetched)"},
        {"no framebuffer objects", [] { g_fake.extensions = extensionsWithout({"EXT_framebuffer_object"}); },
         "[ERROR] Your graphics card doesn't support frame buffer objects.\nTry updating your video card drivers \n"
         "(EXT_framebuffer_object extension was not found)"},
        {"framebuffer entry point", [] { g_fake.missing = {"glGenerateMipmapEXT"}; },
         "(not all EXT_framebuffer_object functions could be fetched)"},
        {"framebuffers unsupported after the multisample step",
         [] {
             g_fake.extensions = extensionsWithout({"GL_EXT_framebuffer_multisample"});
             g_fake.unsupportedFromCall = 5; // the read right after the multisample step
         },
         "[ERROR] GL_FRAMEBUFFER_UNSUPPORTED_EXT! \n\nYour GFX cards current drivers do not support\n"
         "FrameBufferObjects extension. Please, upgrade your graphics card drivers."},
        {"unsupported framebuffer in a check", [] { g_fake.unsupportedFromCall = 1; }, "Debug info: 'init depthCol'"},
        {"no shadow extension", [] { g_fake.extensions = extensionsWithout({"GL_ARB_shadow"}); },
         "[Error!] Your graphics card doesn't support the needed extensions.\n\n[GL_ARB_fragment_shader, "
         "GL_ARB_fragment_program, GL_ARB_shading_language_100,\nGL_ARB_vertex_shader, GL_ARB_shader_objects, "
         "GL_ARB_shadow, GL_ARB_depth_texture]"},
        {"shader entry point", [] { g_fake.missing = {"glVertexAttribPointer"}; },
         "[ERROR] Some needed OpenGL extensions functions could not be accessed.\nPlease update your video card "
         "drivers!\n\n[Fragment & Vertex shaders functions]"},
    };
    for (const StopCase& c : cases) {
        g_fake = FakeDriver{g_realExtensions, {}, 0, false, 0};
        c.breakDriver();
        Outcome o = runInit();
        EXPECT_TRUE(o.stopped) << c.what;
        EXPECT_NE(o.code, 0) << c.what << ": a stop must not report success";
        EXPECT_TRUE(has(o.log, c.boxText)) << c.what << "\n" << o.log;
        g_renderTargets.release();
    }
}

// A picture wider than the driver's largest texture or renderbuffer is
// refused before any target is made for it.
TEST_F(CapabilityStops, SizeBeyondTheDriversLimitsStops) {
    GLint maxTexture = 0, maxRenderbuffer = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTexture);
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE_EXT, &maxRenderbuffer);
    const int most = std::min(int(maxTexture), int(maxRenderbuffer));
    Outcome o = runInit(most + 1, 48);
    EXPECT_TRUE(o.stopped);
    EXPECT_NE(o.code, 0);
    EXPECT_TRUE(has(o.log, "[ERROR] The picture size " + std::to_string(most + 1) +
                               "x48 is larger than this graphics driver can render: at most"))
        << o.log;
    EXPECT_FALSE(has(o.log, "Create RT textures")) << o.log;
}

TEST_F(CapabilityStops, UnsupportedCheckLogsItsNameBeforeTheBox) {
    g_fake.unsupportedFromCall = 1;
    Outcome o = runInit();
    EXPECT_TRUE(has(o.log, "init depthCol: GL_FRAMEBUFFER_UNSUPPORTED_EXT - Framebuffer not supported\n"));
}

TEST_F(CapabilityStops, NoDepthFormatOnlyWarnsAndStartUpGoesOn) {
    g_fake.depthAlwaysIncomplete = true;
    Outcome o = runInit();
    EXPECT_FALSE(o.stopped);
    EXPECT_TRUE(has(o.log, "\nFAILED: to find suitable depth texture \n"));
    EXPECT_TRUE(has(o.log,
                    "[ERROR] Depth texture was not initialized!\n\nDepth related effects will not function "
                    "properly."));
    EXPECT_TRUE(has(o.log, "init depth FBO - attach color: GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT_EXT"));
    EXPECT_FALSE(has(o.log, "Debug: Using depth"));
    EXPECT_EQ(g_renderTargets.texDepthProbeDepth, 0u);
}

TEST_F(CapabilityStops, MultisampleWithoutBlitBuildsTheBuffersButNeverUsesThem) {
    g_fake.extensions = extensionsWithout({"GL_EXT_framebuffer_blit"});
    Outcome o = runInit();
    ASSERT_FALSE(o.stopped);
    EXPECT_TRUE(has(o.log, "No support for GL_EXT_framebuffer_blit"));
    EXPECT_TRUE(has(o.log, "Multisample FBO samples: "));
    EXPECT_FALSE(g_multisampleAvailable);
    EXPECT_NE(g_renderTargets.fboMultisampleScene, 0u);
    g_renderTargets.bindScreenFBOMRT(false);
    EXPECT_FALSE(g_sceneResolvePending);
    GLint bound = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), g_renderTargets.fboScene);
    g_renderTargets.unbind();
}

} // namespace
