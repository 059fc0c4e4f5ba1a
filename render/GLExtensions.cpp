// Storage and loading of the OpenGL entry-point table declared in
// GLExtensions.h.
#include "render/GLExtensions.h"

#include <cstring>

#include "engine/stagemill.h"

#define ZGL_DEFINE(type, name) type name = nullptr;
ZGL_MULTITEXTURE(ZGL_DEFINE)
ZGL_BUFFER_OBJECTS(ZGL_DEFINE)
ZGL_FRAMEBUFFER_OBJECTS(ZGL_DEFINE)
ZGL_SHADERS(ZGL_DEFINE)
#undef ZGL_DEFINE

namespace {

struct EntryPoint {
    const char* name;
    void** slot;
};

#define ZGL_SLOT(type, name) {#name, reinterpret_cast<void**>(&name)},
const EntryPoint kMultitexture[] = {ZGL_MULTITEXTURE(ZGL_SLOT)};
const EntryPoint kBufferObjects[] = {ZGL_BUFFER_OBJECTS(ZGL_SLOT)};
const EntryPoint kFramebufferObjects[] = {ZGL_FRAMEBUFFER_OBJECTS(ZGL_SLOT)};
const EntryPoint kShaders[] = {ZGL_SHADERS(ZGL_SLOT)};
#undef ZGL_SLOT

template <size_t N>
bool fetch(const EntryPoint (&group)[N], bool logMissing) {
    bool complete = true;
    for (const EntryPoint& e : group) {
        *e.slot = stmGetProcAddress(e.name);
        if (!*e.slot) {
            complete = false;
            if (logMissing) stmMsg("loadGLExtensions: entry point %s not found\n", e.name);
        }
    }
    return complete;
}

bool fetchGroup(GLExtensionGroup group, bool logMissing) {
    switch (group) {
    case GL_GROUP_MULTITEXTURE: return fetch(kMultitexture, logMissing);
    case GL_GROUP_BUFFER_OBJECTS: return fetch(kBufferObjects, logMissing);
    case GL_GROUP_FRAMEBUFFER_OBJECTS: return fetch(kFramebufferObjects, logMissing);
    case GL_GROUP_SHADERS: return fetch(kShaders, logMissing);
    }
    return false;
}

} // namespace

bool loadGLExtensionGroup(GLExtensionGroup group) { return fetchGroup(group, false); }

bool loadGLExtensions() {
    // Every group is fetched even after a miss, so the log names all gaps.
    bool complete = fetchGroup(GL_GROUP_MULTITEXTURE, true);
    complete = fetchGroup(GL_GROUP_BUFFER_OBJECTS, true) && complete;
    complete = fetchGroup(GL_GROUP_FRAMEBUFFER_OBJECTS, true) && complete;
    complete = fetchGroup(GL_GROUP_SHADERS, true) && complete;
    return complete;
}

bool hasGLExtension(const char* extensions, const char* name) {
    return extensions && name && std::strstr(extensions, name) != nullptr;
}
