// Pass profiler: timestamp queries or glFinish boundaries.
#include "render/PassProfiler.h"

#include "engine/stagemill.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <chrono>
#include <vector>

namespace {

typedef unsigned long long GLuint64Value;
typedef void (*GenQueries)(GLsizei, GLuint*);
typedef void (*QueryCounter)(GLuint, GLenum);
typedef void (*GetQueryObjectui64v)(GLuint, GLenum, GLuint64Value*);

struct Mark {
    Pass pass;
    GLuint query;                               // timestamp queries
    std::chrono::steady_clock::time_point wall; // glFinish boundaries
};

struct Profiler {
    bool enabled = false;
    GenQueries genQueries = nullptr;
    QueryCounter queryCounter = nullptr;
    GetQueryObjectui64v getQueryObject = nullptr;
    std::vector<GLuint> pool; // queries, reused frame after frame
    std::vector<Mark> marks;
    Pass current = Pass::Other;
    int scopeDepth = 0; // inside a PassScope, plain marks are part of it
};
Profiler g_profiler;

bool useQueries() { return g_profiler.queryCounter && g_profiler.getQueryObject && g_profiler.genQueries; }

void mark(Pass pass) {
    Mark m{pass, 0, {}};
    if (useQueries()) {
        size_t n = g_profiler.marks.size();
        if (n >= g_profiler.pool.size()) {
            g_profiler.pool.resize(n + 16);
            g_profiler.genQueries(16, g_profiler.pool.data() + n);
        }
        m.query = g_profiler.pool[n];
        g_profiler.queryCounter(m.query, GL_TIMESTAMP);
    } else {
        glFinish();
        m.wall = std::chrono::steady_clock::now();
    }
    g_profiler.marks.push_back(m);
    g_profiler.current = pass;
}

} // namespace

const char* passName(Pass pass) {
    static const char* const kNames[] = {"other", "shadow", "scene", "resolve", "post", "window"};
    return kNames[size_t(pass)];
}

void profilerEnable(bool on) {
    g_profiler.enabled = on;
    if (!on) return;
    g_profiler.genQueries = reinterpret_cast<GenQueries>(stmGetProcAddress("glGenQueries"));
    g_profiler.queryCounter = reinterpret_cast<QueryCounter>(stmGetProcAddress("glQueryCounter"));
    g_profiler.getQueryObject = reinterpret_cast<GetQueryObjectui64v>(stmGetProcAddress("glGetQueryObjectui64v"));
    stmMsg("profiler: pass times from %s\n", useQueries() ? "GL timestamp queries" : "glFinish boundaries");
}

bool profilerEnabled() { return g_profiler.enabled; }

void profileFrameBegin() {
    if (!g_profiler.enabled) return;
    g_profiler.marks.clear();
    mark(Pass::Other);
}

void profilePass(Pass pass) {
    if (g_profiler.enabled && g_profiler.scopeDepth == 0 && pass != g_profiler.current) mark(pass);
}

PassTimes profileFrameEnd() {
    PassTimes times{};
    if (!g_profiler.enabled || g_profiler.marks.empty()) return times;
    mark(Pass::Other);
    glFinish();
    const std::vector<Mark>& marks = g_profiler.marks;
    for (size_t i = 0; i + 1 < marks.size(); ++i) {
        double ms;
        if (useQueries()) {
            GLuint64Value a = 0, b = 0;
            g_profiler.getQueryObject(marks[i].query, GL_QUERY_RESULT, &a);
            g_profiler.getQueryObject(marks[i + 1].query, GL_QUERY_RESULT, &b);
            ms = double(b - a) / 1e6;
        } else {
            ms = std::chrono::duration<double, std::milli>(marks[i + 1].wall - marks[i].wall).count();
        }
        times[size_t(marks[i].pass)] += ms;
    }
    g_profiler.marks.clear();
    g_profiler.current = Pass::Other;
    return times;
}

// A scope marks even inside another scope: a resolve that a post pass's
// sampling triggers is timed as a resolve.
PassScope::PassScope(Pass pass) : previous_(g_profiler.current) {
    if (g_profiler.enabled && pass != g_profiler.current) mark(pass);
    ++g_profiler.scopeDepth;
}

PassScope::~PassScope() {
    --g_profiler.scopeDepth;
    if (g_profiler.enabled && previous_ != g_profiler.current) mark(previous_);
}
