// Driver messages of a debug context: where the context offers GL_KHR_debug,
// every message of severity low or above is formatted and handed to the
// handler the shell installed, synchronously, inside the call that caused it.
#include "engine/Internal.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdio>
#include <cstring>

namespace {

StmGLMessageHandler g_handler = nullptr;
bool g_active = false;

const char* sourceName(GLenum source) {
    switch (source) {
    case GL_DEBUG_SOURCE_API: return "api";
    case GL_DEBUG_SOURCE_WINDOW_SYSTEM: return "window system";
    case GL_DEBUG_SOURCE_SHADER_COMPILER: return "shader compiler";
    case GL_DEBUG_SOURCE_THIRD_PARTY: return "third party";
    case GL_DEBUG_SOURCE_APPLICATION: return "application";
    default: return "other";
    }
}

const char* typeName(GLenum type) {
    switch (type) {
    case GL_DEBUG_TYPE_ERROR: return "error";
    case GL_DEBUG_TYPE_DEPRECATED_BEHAVIOR: return "deprecated";
    case GL_DEBUG_TYPE_UNDEFINED_BEHAVIOR: return "undefined behaviour";
    case GL_DEBUG_TYPE_PORTABILITY: return "portability";
    case GL_DEBUG_TYPE_PERFORMANCE: return "performance";
    default: return "other";
    }
}

const char* severityName(GLenum severity) {
    switch (severity) {
    case GL_DEBUG_SEVERITY_HIGH: return "high";
    case GL_DEBUG_SEVERITY_MEDIUM: return "medium";
    case GL_DEBUG_SEVERITY_LOW: return "low";
    default: return "notification";
    }
}

void APIENTRY onMessage(GLenum source, GLenum type, GLuint id, GLenum severity, GLsizei length, const GLchar* message,
                        const void*) {
    if (!g_handler || severity == GL_DEBUG_SEVERITY_NOTIFICATION) return;
    char text[640];
    std::snprintf(text, sizeof text, "%s %s, severity %s, id %u: %.*s", sourceName(source), typeName(type),
                  severityName(severity), id, length >= 0 ? int(length) : int(std::strlen(message)), message);
    g_handler(text);
}

} // namespace

namespace stm_internal {
bool installGLDebug() {
    g_active = false;
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (!extensions || !std::strstr(extensions, "GL_KHR_debug")) return false;
    auto callback = reinterpret_cast<PFNGLDEBUGMESSAGECALLBACKPROC>(glProc("glDebugMessageCallback"));
    auto control = reinterpret_cast<PFNGLDEBUGMESSAGECONTROLPROC>(glProc("glDebugMessageControl"));
    if (!callback || !control) return false;
    glEnable(GL_DEBUG_OUTPUT);
    glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
    control(GL_DONT_CARE, GL_DONT_CARE, GL_DONT_CARE, 0, nullptr, GL_TRUE);
    control(GL_DONT_CARE, GL_DONT_CARE, GL_DEBUG_SEVERITY_NOTIFICATION, 0, nullptr, GL_FALSE);
    callback(onMessage, nullptr);
    g_active = true;
    return true;
}
} // namespace stm_internal

void stmSetGLMessageHandler(StmGLMessageHandler handler) { g_handler = handler; }
bool stmGLDebugActive() { return g_active; }
