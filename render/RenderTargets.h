// The off-screen render targets: one fixed set of framebuffers, textures and
// depth renderbuffers created at start-up for the window size, the operations
// that point drawing at one of them and back at the window, and the start-up
// capability checks that must pass before any of them exists.
//
// There is one object, g_renderTargets; effects call its bind operations and
// read its texture names directly. When the driver offers multisampled
// framebuffers and blits, the scene pass and the 1024 pass draw multisampled.
// unbind() resolves the 1024 pass into its texture; a scene attachment is
// resolved into its texture only when something samples it, so whoever binds
// texScreenColor, texScreenNormal or texScreenDepth for reading calls
// resolveForSampling first (the post-processing passes do).
//
// The bind operations leave the framebuffer and viewport changed and save or
// restore no other GL state; the texture last touched stays bound.
#pragma once

#include "render/GLExtensions.h"

#include <vector>

// The scene pass's attachments as bits, in attachment order. A pass that
// leaves one out neither clears, draws nor resolves it, and the render-target
// view does not list it: its texture keeps what an earlier pass left, so only
// a frame that never samples it may leave it out.
enum SceneOutputs : unsigned {
    kSceneColor = 1,
    kSceneNormal = 2,
    kSceneDepth = 4,
    kAllSceneOutputs = kSceneColor | kSceneNormal | kSceneDepth,
};

class RenderTargets {
public:
    // Start-up: logs the driver, checks every required capability (a missing
    // one shows a message box and ends the process with a non-zero status),
    // fills the GL entry-point table and creates every target below for a
    // window of width x height. Runs once, with the GL context current.
    void init(int width, int height);
    // Deletes every GL object init created; does nothing before init.
    void release();

    // Colour 0 = texture (2048x2048), depth = the 2048 depth buffer.
    void bindTextureFBO2048(GLuint texture);
    // Colour 0 = texture (1024x1024). Multisampled unless noMultisample or
    // the driver lacks it; then texture is filled by the next unbind().
    void bindTextureFBO1024(GLuint texture, bool noMultisample);
    // Colour 0 = texture (window size). Cancels any resolve still pending.
    void bindScreenFBOScreenNormal(GLuint texture);
    // The scene pass: colour 0-2 = texScreenColor, texScreenNormal,
    // texScreenDepth (through multisampled buffers unless noMultisample or
    // unavailable), with the draw buffers of `outputs` enabled and GL_NONE
    // for the others.
    void bindScreenFBOMRT(bool noMultisample, unsigned outputs = kAllSceneOutputs);
    // Colour 0 = texture at half and quarter window size.
    void bindScreenFBOHalf(GLuint texture);
    void bindScreenFBOQuarter(GLuint texture);
    // Ends an off-screen pass: leaves a multisampled scene pass to be
    // resolved on demand (or, failing that, resolves a pending 1024 pass),
    // binds the window framebuffer and resets the viewport through the engine.
    void unbind();
    // Call before sampling `texture`: a scene texture whose newest pixels
    // are still in the multisampled buffers gets that attachment resolved.
    // The pixels of a scene pass that nothing sampled before the next
    // multisampled scene pass began are never resolved. Leaves the
    // framebuffer bindings as they were; other textures are left alone.
    void resolveForSampling(GLuint texture);
    // bindScreenFBOMRT(false, outputs) and a colour and depth clear with the
    // current clear colour: the pass needs no clear of its own.
    void beginSceneMRT(unsigned outputs = kAllSceneOutputs);
    void endSceneMRT();
    // The textures the bind operations have drawn into since the last call,
    // each once, in the order first drawn; the render-target view shows them.
    std::vector<GLuint> takeWritten();

    bool initialised = false;
    PFNGLRENDERBUFFERSTORAGEMULTISAMPLEEXTPROC glRenderbufferStorageMultisampleEXT = nullptr;
    PFNGLBLITFRAMEBUFFEREXTPROC glBlitFramebufferEXT = nullptr;

    GLuint fboMultisample1024 = 0;
    GLuint fboMultisampleScene = 0;
    GLuint fbo2048 = 0;
    GLuint rbMultisampleColor1024 = 0;
    GLuint fbo1024 = 0;
    GLuint rbMultisampleSceneColor[3] = {0, 0, 0};
    GLuint fboScene = 0;
    GLuint fboScreen = 0;
    GLuint fboHalf = 0;
    GLuint fboQuarter = 0;
    GLuint rbDepth2048 = 0;
    GLuint rbMultisampleDepth1024 = 0;
    GLuint rbDepth1024 = 0;
    GLuint rbSceneDepth = 0;
    GLuint rbScreenDepth = 0;
    GLuint rbMultisampleSceneDepth = 0;
    GLuint rbHalfDepth = 0;
    GLuint rbQuarterDepth = 0;

    // The window size given to init; half and quarter targets are
    // width/2 x height/2 and width/4 x height/4 (integer division).
    int width = 0;
    int height = 0;

    GLuint texScreenColor = 0;    // scene colour, linear
    GLuint texScreenNormal = 0;   // scene normals, nearest
    GLuint texScreenDepth = 0;    // scene depth written as colour, nearest
    GLuint texScreenCombined = 0; // the occlusion-combined scene
    GLuint texScreenBlurA = 0;
    GLuint texScreenBlurB = 0;
    GLuint texHalfA = 0;
    GLuint texHalfB = 0;
    GLuint texHalfSSAO = 0;
    GLuint texQuarterA = 0;
    GLuint texQuarterB = 0;
    GLuint tex2048 = 0;
    GLuint tex1024 = 0;

    // The depth probe target: proves at start-up which depth-texture
    // precision the driver accepts; nothing renders into it afterwards.
    GLuint fboDepthProbe = 0;
    GLuint texDepthProbeColor = 0;
    GLuint texDepthProbeDepth = 0; // 0 when no depth format was accepted

    GLuint texNoise = 0; // 128x128 RGB random vectors for the occlusion pass

    int samples = 0; // multisample count, min(GL_MAX_SAMPLES_EXT, 4)
    // Bit k (SceneOutputs): scene attachment k has a finished multisampled
    // pass not yet resolved into its texture.
    unsigned sceneUnresolved = 0;
    // Resolves every scene attachment as each multisampled scene pass ends,
    // whether or not anything samples it: the reference the on-demand
    // resolve is checked against. Set before init; release clears it.
    bool resolveEveryPass = false;

private:
    void noteWritten(GLuint texture);
    unsigned sceneOutputs_ = kAllSceneOutputs; // of the scene pass bound last
    std::vector<GLuint> written_;
    void resolveSceneAttachment(int k);
    // The three scene textures and the scene depth buffer onto fboScene,
    // which must be bound as the draw framebuffer.
    void attachSceneTextures();
};

extern RenderTargets g_renderTargets;

// Process-wide flags beside the object.
extern bool g_multisampleAvailable; // both multisample entry points present
extern bool g_sceneResolvePending;  // the scene pass draws multisampled
extern bool g_resolve1024Pending;   // a 1024 pass draws multisampled ...
extern GLuint g_pending1024Texture; // ... into this texture

// Checks the framebuffer now bound and logs an incomplete one under
// debugName. True when complete or the status is unknown, false when
// incomplete; GL_FRAMEBUFFER_UNSUPPORTED_EXT shows a message box and ends
// the process with a non-zero status.
bool checkFramebufferStatus(const char* debugName);
