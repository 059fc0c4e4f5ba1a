// Start-up capability checks and the off-screen render targets: creation,
// the bind operations, the multisample resolves (the 1024 pass on unbind, the
// scene pass per attachment when sampled), and release.
#include "render/RenderTargets.h"

#include "render/PassProfiler.h"
#include "render/TextureSetup.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "core/CrtRandom.h"
#include "engine/stagemill.h"

RenderTargets g_renderTargets;

bool g_multisampleAvailable = false;
bool g_sceneResolvePending = false;
bool g_resolve1024Pending = false;
GLuint g_pending1024Texture = 0;

namespace {

const unsigned int kWarning = STM_MB_ICONEXCLAMATION | STM_MB_TOPMOST;
const unsigned int kError = STM_MB_ICONERROR | STM_MB_TOPMOST;
const int kMaxSamples = 4;
const int kNoiseSize = 128;
// rand() values start-up draws after the noise texture and throws away, so
// the effects find the generator where they expect it.
const int kDiscardedRandValues = 65536;

const GLenum kDepthFormats[3] = {GL_DEPTH_COMPONENT16, GL_DEPTH_COMPONENT24, GL_DEPTH_COMPONENT32};

const char* const kUnsupportedText =
    "GL_FRAMEBUFFER_UNSUPPORTED_EXT! \n\nYour GFX cards current drivers do not support\n"
    "FrameBufferObjects extension. Please, upgrade your graphics card drivers.";

// A missing capability: the message box, then the end of the process. Every
// stop exits non-zero, so a launcher or script sees the failure.
[[noreturn]] void stop(const char* text, const char* caption, unsigned int flags) {
    stmMessageBox(text, caption, flags);
    stmExit(-1);
}

std::string extensionString() {
    const char* s = stmGetGLString(GL_EXTENSIONS);
    return s ? s : "";
}

// A driver out of memory for a target ends the run naming it, instead of
// drawing into storage that is not there (or crashing in the driver).
[[noreturn]] void stopForStorage(const char* target, int width, int height) {
    char text[256];
    std::snprintf(text, sizeof text,
                  "The graphics driver has no memory for the render target %s (%dx%d).\n\nChoose a smaller size.",
                  target, width, height);
    stop(text, "ERROR", kWarning);
}

void checkAllocated(const char* target, int width, int height) {
    bool outOfMemory = false;
    for (GLenum error = glGetError(); error != GL_NO_ERROR; error = glGetError())
        outOfMemory = outOfMemory || error == GL_OUT_OF_MEMORY;
    if (outOfMemory) stopForStorage(target, width, height);
}

// Whether the renderbuffer got its storage (a driver out of memory leaves
// it empty, sometimes without reporting GL_OUT_OF_MEMORY).
bool hasStorage(GLuint renderbuffer) {
    GLint width = 0;
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, renderbuffer);
    glGetRenderbufferParameterivEXT(GL_RENDERBUFFER_EXT, GL_RENDERBUFFER_WIDTH_EXT, &width);
    return width > 0;
}

// The picture size against what the driver can render into at all.
void checkRenderSize(int width, int height) {
    GLint maxTexture = 0, maxRenderbuffer = 0, maxViewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTexture);
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE_EXT, &maxRenderbuffer);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, maxViewport);
    const int most = std::min({int(maxTexture), int(maxRenderbuffer), int(maxViewport[0]), int(maxViewport[1])});
    if (width <= most && height <= most) return;
    char text[256];
    std::snprintf(text, sizeof text,
                  "The picture size %dx%d is larger than this graphics driver can render: at most %d pixels a "
                  "side (texture %d, renderbuffer %d, viewport %dx%d).",
                  width, height, most, int(maxTexture), int(maxRenderbuffer), int(maxViewport[0]), int(maxViewport[1]));
    stop(text, "ERROR", kWarning);
}

// A colour render texture: RGBA bytes, both filters = filter, no data.
// Wrapping clamps to the edge texels: with GL_CLAMP's border colour the
// blur taps past the edge would pull black into every frame's border.
// Leaves it bound.
void createTargetTexture(const char* target, GLuint& name, int width, int height, GLint filter) {
    createClampedTexture(GL_TEXTURE_2D, name, filter);
    glTexImage2D(GL_TEXTURE_2D, 0, 4, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    checkAllocated(target, width, height);
}

void attachTexture(GLenum attachment, GLuint texture) {
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, attachment, GL_TEXTURE_2D, texture, 0);
}

void attachRenderbuffer(GLenum attachment, GLuint renderbuffer) {
    glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, attachment, GL_RENDERBUFFER_EXT, renderbuffer);
}

void depthStorage(const char* target, GLuint renderbuffer, int width, int height) {
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, renderbuffer);
    glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT24, width, height);
    checkAllocated(target, width, height);
}

void setSceneDrawBuffers(unsigned outputs) {
    GLenum buffers[3];
    for (int k = 0; k < 3; ++k) buffers[k] = outputs & (1u << k) ? GL_COLOR_ATTACHMENT0_EXT + k : GL_NONE;
    glDrawBuffers(3, buffers);
}

// The depth-texture precision probe: the strongest of the three formats the
// driver accepts as a depth attachment of the probe framebuffer, or 0.
GLuint probeDepthTexture(GLuint framebuffer, GLuint& colorTexture) {
    createClampedTexture(GL_TEXTURE_2D, colorTexture, GL_LINEAR);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1024, 1024, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    checkFramebufferStatus("init depthCol");

    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, framebuffer);
    attachTexture(GL_COLOR_ATTACHMENT0_EXT, colorTexture);
    checkFramebufferStatus("init depth FBO - attach color");

    GLuint depthTexture = 0;
    for (int index = 2; index >= 0; --index) {
        GLuint candidate = 0;
        createClampedTexture(GL_TEXTURE_2D, candidate, GL_LINEAR);
        glTexImage2D(GL_TEXTURE_2D, 0, kDepthFormats[index], 1024, 1024, 0, GL_DEPTH_COMPONENT, GL_UNSIGNED_BYTE,
                     nullptr);
        attachTexture(GL_DEPTH_ATTACHMENT_EXT, candidate);
        if (glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT) == GL_FRAMEBUFFER_COMPLETE_EXT) {
            depthTexture = candidate;
            stmMsg("Debug: Using depth t=%d  (%d) texture\n", index, static_cast<int>(kDepthFormats[index]));
            glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
            break;
        }
        glDeleteTextures(1, &candidate); // also detaches it
    }
    if (!depthTexture) {
        stmMsg("\nFAILED: to find suitable depth texture \n");
        stmMessageBox("Depth texture was not initialized!\n\nDepth related effects will not function properly.",
                      "ERROR", kWarning);
        checkFramebufferStatus("init depthTex");
    }
    checkFramebufferStatus("init depth FBO - attach depth");
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    return depthTexture;
}

// Random vectors for the occlusion pass: the next 49,152 rand() values
// modulo 255 as RGB bytes.
GLuint createNoiseTexture() {
    unsigned char bytes[kNoiseSize * kNoiseSize * 3];
    for (unsigned char& b : bytes) b = static_cast<unsigned char>(crt::rand() % 255);
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, kNoiseSize, kNoiseSize, 0, GL_RGB, GL_UNSIGNED_BYTE, bytes);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    return name;
}

} // namespace

bool checkFramebufferStatus(const char* debugName) {
    GLenum status = glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT);
    switch (status) {
    case GL_FRAMEBUFFER_COMPLETE_EXT: return true;
    case GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT_EXT:
        stmMsg("%s: GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT_EXT - Framebuffer incomplete,incomplete attachment\n",
               debugName);
        return false;
    case GL_FRAMEBUFFER_INCOMPLETE_MISSING_ATTACHMENT_EXT:
        stmMsg("%s: GL_FRAMEBUFFER_INCOMPLETE_MISSING_ATTACHMENT_EXT - Framebuffer incomplete,missing attachment\n",
               debugName);
        return false;
    case GL_FRAMEBUFFER_INCOMPLETE_DIMENSIONS_EXT:
        stmMsg(
            "%s: GL_FRAMEBUFFER_INCOMPLETE_DIMENSIONS_EXT - Framebuffer incomplete,attached images must have "
            "same dimensions\n",
            debugName);
        return false;
    case GL_FRAMEBUFFER_INCOMPLETE_FORMATS_EXT:
        stmMsg(
            "%s: GL_FRAMEBUFFER_INCOMPLETE_FORMATS_EXT - Framebuffer incomplete,attached images must have same "
            "format\n",
            debugName);
        return false;
    case GL_FRAMEBUFFER_INCOMPLETE_DRAW_BUFFER_EXT:
        stmMsg("%s: GL_FRAMEBUFFER_INCOMPLETE_DRAW_BUFFER_EXT - Framebuffer incomplete,missing draw buffer\n",
               debugName);
        return false;
    case GL_FRAMEBUFFER_INCOMPLETE_READ_BUFFER_EXT:
        stmMsg("%s: GL_FRAMEBUFFER_INCOMPLETE_READ_BUFFER_EXT - Framebuffer incomplete,missing read buffer\n",
               debugName);
        return false;
    case GL_FRAMEBUFFER_UNSUPPORTED_EXT: {
        stmMsg("%s: GL_FRAMEBUFFER_UNSUPPORTED_EXT - Framebuffer not supported\n", debugName);
        char text[256];
        std::snprintf(text, sizeof text,
                      "GL_FRAMEBUFFER_UNSUPPORTED_EXT! \n\nYour GFX cards current drivers do not support "
                      "FrameBufferObjects extension. \nPlease, upgrade your graphics card drivers.\nIf newest "
                      "drivers won't help you need to use other graphics cards.\n\nDebug info: '%s'",
                      debugName);
        stop(text, "ERROR", kWarning);
    }
    default: stmMsg("%s: UNRESOLVED FRAMEBUFFER ERROR - Check ext loading\n", debugName); return true;
    }
}

void RenderTargets::init(int width_, int height_) {
    g_sceneResolvePending = false;
    sceneUnresolved = 0;
    g_resolve1024Pending = false;

    const char* vendor = stmGetGLString(GL_VENDOR);
    const char* renderer = stmGetGLString(GL_RENDERER);
    const char* version = stmGetGLString(GL_VERSION);
    stmMsg("Your graphics cards vendor is %s\n", vendor ? vendor : "(none)");
    stmMsg("Renderer %s\n", renderer ? renderer : "(none)");
    stmMsg("Version %s\n", version ? version : "(none)");

    initialised = true;

    if (!loadGLExtensionGroup(GL_GROUP_MULTITEXTURE))
        stop(
            "Some needed OpenGL extensions could not be found.\nPlease update your video card drivers!\n\n"
            "[ext. funcs:glActiveTextureARB or glMultiTexCoord2fARB or glMultiTexCoord4fARB]",
            "ERROR", kWarning);

    const std::string extensions = extensionString();
    if (!hasGLExtension(extensions.c_str(), "EXT_texture_cube_map"))
        stop(
            "Your graphics card didn't support cube map texturing.\nTry updating your video card drivers \n"
            "(EXT_texture_cube_map extension was not found)",
            "ERROR", kWarning);
    if (!hasGLExtension(extensions.c_str(), "GL_ARB_vertex_buffer_object"))
        stop(
            "Your graphics card doesn't support vertex buffer objects.\nTry updating your video card drivers \n"
            "(GL_ARB_vertex_buffer_object extension was not found)",
            "ERROR", kWarning);
    if (!loadGLExtensionGroup(GL_GROUP_BUFFER_OBJECTS))
        stop(
            "Your graphics card doesn't support vertex buffer objects.\nTry updating your video card drivers \n"
            "(not all GL_ARB_vertex_buffer_object functions could be fetched)",
            "ERROR", kWarning);
    if (!hasGLExtension(extensions.c_str(), "EXT_framebuffer_object"))
        stop(
            "Your graphics card doesn't support frame buffer objects.\nTry updating your video card drivers \n"
            "(EXT_framebuffer_object extension was not found)",
            "ERROR", kWarning);
    if (!loadGLExtensionGroup(GL_GROUP_FRAMEBUFFER_OBJECTS))
        stop(
            "Your graphics card doesn't support frame buffer objects.\nTry updating your video card drivers \n"
            "(not all EXT_framebuffer_object functions could be fetched)",
            "ERROR", kWarning);

    width = width_;
    height = height_;
    checkRenderSize(width, height);
    const int halfW = width / 2, halfH = height / 2;
    const int quarterW = width / 4, quarterH = height / 4;
    glGenFramebuffersEXT(1, &fbo2048);
    glGenFramebuffersEXT(1, &fbo1024);
    glGenFramebuffersEXT(1, &fboScene);
    glGenFramebuffersEXT(1, &fboScreen);
    glGenFramebuffersEXT(1, &fboHalf);
    glGenFramebuffersEXT(1, &fboQuarter);
    glGenRenderbuffersEXT(1, &rbDepth2048);
    glGenRenderbuffersEXT(1, &rbDepth1024);
    glGenRenderbuffersEXT(1, &rbSceneDepth);
    glGenRenderbuffersEXT(1, &rbScreenDepth);
    glGenRenderbuffersEXT(1, &rbHalfDepth);
    glGenRenderbuffersEXT(1, &rbQuarterDepth);
    glGenFramebuffersEXT(1, &fboDepthProbe);

    texDepthProbeDepth = probeDepthTexture(fboDepthProbe, texDepthProbeColor);

    if (hasGLExtension(extensions.c_str(), "GL_EXT_framebuffer_multisample"))
        glRenderbufferStorageMultisampleEXT = reinterpret_cast<PFNGLRENDERBUFFERSTORAGEMULTISAMPLEEXTPROC>(
            stmGetProcAddress("glRenderbufferStorageMultisampleEXT"));
    else
        stmMsg("No support for GL_EXT_framebuffer_multisample");
    if (hasGLExtension(extensions.c_str(), "GL_EXT_framebuffer_blit"))
        glBlitFramebufferEXT = reinterpret_cast<PFNGLBLITFRAMEBUFFEREXTPROC>(stmGetProcAddress("glBlitFramebufferEXT"));
    else
        stmMsg("No support for GL_EXT_framebuffer_blit");
    g_multisampleAvailable = glRenderbufferStorageMultisampleEXT && glBlitFramebufferEXT;

    depthStorage("rbDepth2048", rbDepth2048, 2048, 2048);
    depthStorage("rbDepth1024", rbDepth1024, 1024, 1024);
    depthStorage("rbSceneDepth", rbSceneDepth, width, height);
    depthStorage("rbHalfDepth", rbHalfDepth, halfW, halfH);
    depthStorage("rbQuarterDepth", rbQuarterDepth, quarterW, quarterH);
    depthStorage("rbScreenDepth", rbScreenDepth, width, height);

    stmMsg("Initializing multisample FBO\n");
    if (glRenderbufferStorageMultisampleEXT) {
        GLint maxSamples = 0;
        glGetIntegerv(GL_MAX_SAMPLES_EXT, &maxSamples);
        samples = std::min(static_cast<int>(maxSamples), kMaxSamples);
        stmMsg("Multisample FBO samples: %d\n", samples);

        glGenRenderbuffersEXT(1, &rbMultisampleColor1024);
        glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, rbMultisampleColor1024);
        glRenderbufferStorageMultisampleEXT(GL_RENDERBUFFER_EXT, samples, GL_RGBA8, 1024, 1024);
        glGenRenderbuffersEXT(1, &rbMultisampleDepth1024);
        glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, rbMultisampleDepth1024);
        glRenderbufferStorageMultisampleEXT(GL_RENDERBUFFER_EXT, samples, GL_DEPTH_COMPONENT24, 1024, 1024);
        glGenFramebuffersEXT(1, &fboMultisample1024);
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, fboMultisample1024);
        attachRenderbuffer(GL_COLOR_ATTACHMENT0_EXT, rbMultisampleColor1024);
        attachRenderbuffer(GL_DEPTH_ATTACHMENT_EXT, rbMultisampleDepth1024);

        stmMsg("Multisample FBO screen color buffers: %d, %d\n", width, height);
        glGenRenderbuffersEXT(3, rbMultisampleSceneColor);
        for (GLuint rb : rbMultisampleSceneColor) {
            glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, rb);
            glRenderbufferStorageMultisampleEXT(GL_RENDERBUFFER_EXT, samples, GL_RGBA8, width, height);
            checkAllocated("rbMultisampleSceneColor", width, height);
        }
        stmMsg("Multisample FBO screen depth\n");
        glGenRenderbuffersEXT(1, &rbMultisampleSceneDepth);
        glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, rbMultisampleSceneDepth);
        glRenderbufferStorageMultisampleEXT(GL_RENDERBUFFER_EXT, samples, GL_DEPTH_COMPONENT24, width, height);
        checkAllocated("rbMultisampleSceneDepth", width, height);
        stmMsg("Multisample FBO screen attach all\n");
        glGenFramebuffersEXT(1, &fboMultisampleScene);
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, fboMultisampleScene);
        for (int k = 0; k < 3; ++k) attachRenderbuffer(GL_COLOR_ATTACHMENT0_EXT + k, rbMultisampleSceneColor[k]);
        attachRenderbuffer(GL_DEPTH_ATTACHMENT_EXT, rbMultisampleSceneDepth);
        stmMsg("Multisample FBO initialization done");
        bool stored = hasStorage(rbMultisampleSceneDepth);
        for (GLuint rb : rbMultisampleSceneColor) stored = stored && hasStorage(rb);
        // Storage the driver could not give shows as an incomplete target
        // with an empty renderbuffer.
        if (!checkFramebufferStatus("Init multisample fbo\n") && !stored)
            stopForStorage("fboMultisampleScene", width, height);
    }

    if (glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT) == GL_FRAMEBUFFER_UNSUPPORTED_EXT) {
        stmMsg("%s", kUnsupportedText);
        stop(kUnsupportedText, "ERROR", kWarning);
    }
    checkFramebufferStatus("Multisample FBO");

    stmMsg("Create RT textures");
    createTargetTexture("texScreenColor", texScreenColor, width, height, GL_LINEAR);
    createTargetTexture("texScreenCombined", texScreenCombined, width, height, GL_LINEAR);
    createTargetTexture("texScreenNormal", texScreenNormal, width, height, GL_NEAREST);
    createTargetTexture("texScreenDepth", texScreenDepth, width, height, GL_NEAREST);
    createTargetTexture("texScreenBlurA", texScreenBlurA, width, height, GL_LINEAR);
    createTargetTexture("texScreenBlurB", texScreenBlurB, width, height, GL_LINEAR);
    createTargetTexture("texHalfSSAO", texHalfSSAO, halfW, halfH, GL_LINEAR);
    createTargetTexture("texHalfA", texHalfA, halfW, halfH, GL_LINEAR);
    createTargetTexture("texHalfB", texHalfB, halfW, halfH, GL_LINEAR);
    createTargetTexture("texQuarterA", texQuarterA, quarterW, quarterH, GL_LINEAR);
    createTargetTexture("texQuarterB", texQuarterB, quarterW, quarterH, GL_LINEAR);
    createTargetTexture("tex2048", tex2048, 2048, 2048, GL_LINEAR);
    createTargetTexture("tex1024", tex1024, 1024, 1024, GL_LINEAR);
    stmMsg("Create buffer textures");
    texNoise = createNoiseTexture();
    for (int i = 0; i < kDiscardedRandValues; ++i) crt::rand();
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);

    stmMsg("Init GLSL extensions");
    const std::string glslExtensions = extensionString();
    static const char* const kGLSLExtensions[] = {
        "GL_ARB_fragment_shader", "GL_ARB_fragment_program", "GL_ARB_shading_language_100", "GL_ARB_vertex_shader",
        "GL_ARB_shader_objects",  "GL_ARB_shadow",           "GL_ARB_depth_texture"};
    for (const char* name : kGLSLExtensions)
        if (!hasGLExtension(glslExtensions.c_str(), name))
            stop(
                "Your graphics card doesn't support the needed extensions.\n\n[GL_ARB_fragment_shader, "
                "GL_ARB_fragment_program, GL_ARB_shading_language_100,\nGL_ARB_vertex_shader, "
                "GL_ARB_shader_objects, GL_ARB_shadow, GL_ARB_depth_texture]",
                "Error!", kError);
    if (!loadGLExtensionGroup(GL_GROUP_SHADERS))
        stop(
            "Some needed OpenGL extensions functions could not be accessed.\nPlease update your video card "
            "drivers!\n\n[Fragment & Vertex shaders functions]",
            "ERROR", kWarning);
}

void RenderTargets::release() {
    if (!initialised) return;
    initialised = false;
    GLuint textures[] = {texScreenColor, texScreenNormal,    texScreenDepth,     texScreenCombined,
                         texScreenBlurA, texScreenBlurB,     texHalfA,           texHalfB,
                         texHalfSSAO,    texQuarterA,        texQuarterB,        tex2048,
                         tex1024,        texDepthProbeColor, texDepthProbeDepth, texNoise};
    GLuint renderbuffers[] = {rbMultisampleColor1024,
                              rbMultisampleSceneColor[0],
                              rbMultisampleSceneColor[1],
                              rbMultisampleSceneColor[2],
                              rbDepth2048,
                              rbMultisampleDepth1024,
                              rbDepth1024,
                              rbSceneDepth,
                              rbScreenDepth,
                              rbMultisampleSceneDepth,
                              rbHalfDepth,
                              rbQuarterDepth};
    GLuint framebuffers[] = {fboMultisample1024, fboMultisampleScene, fbo2048, fbo1024, fboScene, fboScreen, fboHalf,
                             fboQuarter,         fboDepthProbe};
    // Name 0 is silently ignored by every delete call, so objects a stopped
    // init never made need no special case. The entry points may be missing
    // when init stopped early.
    glDeleteTextures(sizeof textures / sizeof textures[0], textures);
    if (glDeleteRenderbuffersEXT)
        glDeleteRenderbuffersEXT(sizeof renderbuffers / sizeof renderbuffers[0], renderbuffers);
    if (glDeleteFramebuffersEXT) glDeleteFramebuffersEXT(sizeof framebuffers / sizeof framebuffers[0], framebuffers);
    *this = RenderTargets();
}

void RenderTargets::bindTextureFBO2048(GLuint texture) {
    profilePass(Pass::Shadow);
    noteWritten(texture);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, fbo2048);
    attachTexture(GL_COLOR_ATTACHMENT0_EXT, texture);
    attachRenderbuffer(GL_DEPTH_ATTACHMENT_EXT, rbDepth2048);
    checkFramebufferStatus("bindTextureFBO2048");
    glViewport(0, 0, 2048, 2048);
}

void RenderTargets::bindTextureFBO1024(GLuint texture, bool noMultisample) {
    profilePass(Pass::Scene);
    noteWritten(texture);
    if (glRenderbufferStorageMultisampleEXT && g_multisampleAvailable && !noMultisample) {
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, fboMultisample1024);
        glViewport(0, 0, 1024, 1024);
        g_resolve1024Pending = true;
        g_pending1024Texture = texture;
        return;
    }
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, fbo1024);
    attachTexture(GL_COLOR_ATTACHMENT0_EXT, texture);
    attachRenderbuffer(GL_DEPTH_ATTACHMENT_EXT, rbDepth1024);
    checkFramebufferStatus("bindTextureFBO1024");
    glViewport(0, 0, 1024, 1024);
    g_resolve1024Pending = false;
}

void RenderTargets::bindScreenFBOScreenNormal(GLuint texture) {
    noteWritten(texture);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, fboScreen);
    attachTexture(GL_COLOR_ATTACHMENT0_EXT, texture);
    attachRenderbuffer(GL_DEPTH_ATTACHMENT_EXT, rbScreenDepth);
    glViewport(0, 0, width, height);
    checkFramebufferStatus("bindScreenFBOScreenNormal");
    g_sceneResolvePending = false;
    g_resolve1024Pending = false;
}

void RenderTargets::bindScreenFBOMRT(bool noMultisample, unsigned outputs) {
    profilePass(Pass::Scene);
    const GLuint sceneTextures[3] = {texScreenColor, texScreenNormal, texScreenDepth};
    for (int k = 0; k < 3; ++k)
        if (outputs & (1u << k)) noteWritten(sceneTextures[k]);
    sceneOutputs_ = outputs;
    if (glRenderbufferStorageMultisampleEXT && g_multisampleAvailable && !noMultisample) {
        // This pass draws over the multisampled buffers: what the last one
        // left there unsampled is given up.
        sceneUnresolved = 0;
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, fboMultisampleScene);
        for (int k = 0; k < 3; ++k) attachRenderbuffer(GL_COLOR_ATTACHMENT0_EXT + k, rbMultisampleSceneColor[k]);
        attachRenderbuffer(GL_DEPTH_ATTACHMENT_EXT, rbMultisampleSceneDepth);
        setSceneDrawBuffers(outputs);
        checkFramebufferStatus("bindScreenFBOMRT_b");
        glViewport(0, 0, width, height);
        g_sceneResolvePending = true;
        return;
    }
    // This pass draws into the textures themselves, over the last pass.
    for (int k = 0; k < 3; ++k) resolveSceneAttachment(k);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, fboScene);
    attachSceneTextures();
    setSceneDrawBuffers(outputs);
    checkFramebufferStatus("bindScreenFBOMRT_a");
    glViewport(0, 0, width, height);
    g_sceneResolvePending = false;
}

void RenderTargets::bindScreenFBOHalf(GLuint texture) {
    noteWritten(texture);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, fboHalf);
    attachTexture(GL_COLOR_ATTACHMENT0_EXT, texture);
    attachRenderbuffer(GL_DEPTH_ATTACHMENT_EXT, rbHalfDepth);
    checkFramebufferStatus("bindScreenFBOHalf");
    glViewport(0, 0, width / 2, height / 2);
}

void RenderTargets::bindScreenFBOQuarter(GLuint texture) {
    noteWritten(texture);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, fboQuarter);
    attachTexture(GL_COLOR_ATTACHMENT0_EXT, texture);
    attachRenderbuffer(GL_DEPTH_ATTACHMENT_EXT, rbQuarterDepth);
    checkFramebufferStatus("bindScreenFBOQuarter");
    glViewport(0, 0, width / 4, height / 4);
}

void RenderTargets::noteWritten(GLuint texture) {
    if (std::find(written_.begin(), written_.end(), texture) == written_.end()) written_.push_back(texture);
}

std::vector<GLuint> RenderTargets::takeWritten() {
    std::vector<GLuint> taken;
    taken.swap(written_);
    return taken;
}

void RenderTargets::unbind() {
    if (g_sceneResolvePending) {
        // The resolve waits until something samples an attachment: a scene
        // texture nobody reads is never resolved.
        g_sceneResolvePending = false;
        sceneUnresolved = sceneOutputs_;
        if (resolveEveryPass)
            for (int k = 0; k < 3; ++k) resolveSceneAttachment(k);
    } else if (g_resolve1024Pending) {
        profilePass(Pass::Resolve);
        g_resolve1024Pending = false;
        glBindFramebufferEXT(GL_READ_FRAMEBUFFER_EXT, fboMultisample1024);
        glBindFramebufferEXT(GL_DRAW_FRAMEBUFFER_EXT, fbo1024);
        attachTexture(GL_COLOR_ATTACHMENT0_EXT, g_pending1024Texture);
        attachRenderbuffer(GL_DEPTH_ATTACHMENT_EXT, rbDepth1024);
        glBlitFramebufferEXT(0, 0, 1024, 1024, 0, 0, 1024, 1024, GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT, GL_NEAREST);
    }
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    stmResetViewport();
    profilePass(Pass::Window);
}

void RenderTargets::resolveForSampling(GLuint texture) {
    if (!sceneUnresolved) return;
    const GLuint sceneTextures[3] = {texScreenColor, texScreenNormal, texScreenDepth};
    for (int k = 0; k < 3; ++k)
        if (texture == sceneTextures[k]) resolveSceneAttachment(k);
}

void RenderTargets::resolveSceneAttachment(int k) {
    const unsigned bit = 1u << k;
    if (!(sceneUnresolved & bit)) return;
    sceneUnresolved &= ~bit;
    PassScope scope(Pass::Resolve);
    GLint draw = 0, read = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING_EXT, &draw);
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING_EXT, &read);
    glBindFramebufferEXT(GL_READ_FRAMEBUFFER_EXT, fboMultisampleScene);
    glBindFramebufferEXT(GL_DRAW_FRAMEBUFFER_EXT, fboScene);
    // GL_FRAMEBUFFER_EXT attaches to the draw framebuffer.
    attachSceneTextures();
    glReadBuffer(GL_COLOR_ATTACHMENT0_EXT + k);
    glDrawBuffer(GL_COLOR_ATTACHMENT0_EXT + k);
    glBlitFramebufferEXT(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebufferEXT(GL_READ_FRAMEBUFFER_EXT, static_cast<GLuint>(read));
    glBindFramebufferEXT(GL_DRAW_FRAMEBUFFER_EXT, static_cast<GLuint>(draw));
}

void RenderTargets::attachSceneTextures() {
    attachTexture(GL_COLOR_ATTACHMENT0_EXT, texScreenColor);
    attachTexture(GL_COLOR_ATTACHMENT1_EXT, texScreenNormal);
    attachTexture(GL_COLOR_ATTACHMENT2_EXT, texScreenDepth);
    attachRenderbuffer(GL_DEPTH_ATTACHMENT_EXT, rbSceneDepth);
}

void RenderTargets::beginSceneMRT(unsigned outputs) {
    bindScreenFBOMRT(false, outputs);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void RenderTargets::endSceneMRT() { unbind(); }
