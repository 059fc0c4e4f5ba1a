// The GL state check of --gl-check.
#include "render/GLCheck.h"

#include "engine/stagemill.h"
#include "render/GLExtensions.h"

#include <cstdio>

namespace {

GLCheck* g_installed = nullptr;
std::vector<std::string> g_messages; // driver messages since the last check

void onMessage(const char* message) { g_messages.push_back(message); }

void afterDraw(const char* name, float songMs) {
    if (g_installed) g_installed->check(name, songMs);
}

const char* errorName(GLenum error) {
    switch (error) {
    case GL_INVALID_ENUM: return "GL_INVALID_ENUM";
    case GL_INVALID_VALUE: return "GL_INVALID_VALUE";
    case GL_INVALID_OPERATION: return "GL_INVALID_OPERATION";
    case GL_STACK_OVERFLOW: return "GL_STACK_OVERFLOW";
    case GL_STACK_UNDERFLOW: return "GL_STACK_UNDERFLOW";
    case GL_OUT_OF_MEMORY: return "GL_OUT_OF_MEMORY";
    case GL_INVALID_FRAMEBUFFER_OPERATION_EXT: return "GL_INVALID_FRAMEBUFFER_OPERATION";
    default: return "an unknown GL error";
    }
}

GLint integer(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

// Unwinds a matrix stack to depth 1, leaving GL_MODELVIEW current.
void unwind(GLenum mode, GLint depth) {
    glMatrixMode(mode);
    for (; depth > 1; --depth) glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

} // namespace

bool GLFaultLog::report(const std::string& where, float songMs, const std::string& what) {
    if (!seen_.insert({where, what}).second) return false;
    stmMsg("gl-check: %s at %.1f ms: %s\n", where.c_str(), double(songMs), what.c_str());
    return true;
}

std::vector<std::string> glStateFaults(bool restore) {
    std::vector<std::string> faults;
    char text[160];
    // Errors first: reading the state below must not be blamed for them.
    for (int i = 0; i < 8; ++i) {
        const GLenum error = glGetError();
        if (error == GL_NO_ERROR) break;
        faults.push_back(std::string("glGetError gives ") + errorName(error));
    }
    const GLint modelview = integer(GL_MODELVIEW_STACK_DEPTH);
    const GLint projection = integer(GL_PROJECTION_STACK_DEPTH);
    if (modelview != 1) {
        std::snprintf(text, sizeof text, "modelview stack depth %d, not 1", modelview);
        faults.push_back(text);
        if (restore) unwind(GL_MODELVIEW, modelview);
    }
    if (projection != 1) {
        std::snprintf(text, sizeof text, "projection stack depth %d, not 1", projection);
        faults.push_back(text);
        if (restore) unwind(GL_PROJECTION, projection);
    }
    if (const GLint program = integer(GL_CURRENT_PROGRAM)) {
        std::snprintf(text, sizeof text, "program %d still bound", program);
        faults.push_back(text);
        if (restore) glUseProgramObjectARB(0);
    }
    if (const GLint framebuffer = integer(GL_FRAMEBUFFER_BINDING_EXT)) {
        std::snprintf(text, sizeof text, "framebuffer %d still bound, not the window's", framebuffer);
        faults.push_back(text);
        if (restore) glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    }
    const GLint unit = integer(GL_ACTIVE_TEXTURE_ARB);
    if (unit != GL_TEXTURE0_ARB) {
        std::snprintf(text, sizeof text, "texture unit %d active, not 0", unit - GL_TEXTURE0_ARB);
        faults.push_back(text);
        if (restore) glActiveTextureARB(GL_TEXTURE0_ARB);
    }
    return faults;
}

void GLCheck::install() {
    g_installed = this;
    g_messages.clear();
    stmSetGLMessageHandler(onMessage);
    stmSetEffectObserver(afterDraw);
}

void GLCheck::uninstall() {
    stmSetEffectObserver(nullptr);
    stmSetGLMessageHandler(nullptr);
    g_installed = nullptr;
}

void GLCheck::check(const char* where, float songMs) {
    // The driver's messages belong to the draw that has just ended; the
    // state queries of the check raise none of their own.
    std::vector<std::string> messages;
    messages.swap(g_messages);
    for (const std::string& message : messages) log_.report(where, songMs, "driver: " + message);
    for (const std::string& fault : glStateFaults(true)) log_.report(where, songMs, fault);
}

bool GLCheck::printSummary() const {
    stmMsg("gl-check: %zu frames, %zu faults\n", frames_, log_.faults());
    return log_.faults() == 0;
}
