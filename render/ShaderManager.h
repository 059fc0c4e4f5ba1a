// The shader registry: named GLSL programs, seventeen built into the program
// and every N.vert.glsl / N.frag.glsl pair among the archive's texts (an
// archive pair replaces a built-in shader of the same name). Archive texts
// may pull in shared GLSL with #include "name.glsl" (ShaderInclude.h); a pair
// whose includes cannot be expanded is logged and not built. Each shader
// keeps the uniform declarations found by a word scanner over its sources,
// with value ranges read from comment annotations such as
//     uniform float strength /*0.0_10.0*/;
// and sets the camera, clip-plane and screen-size uniforms itself on bind().
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/Array.h"
#include "core/Map.h"
#include "render/GLExtensions.h"

// One uniform declaration found in a shader's source.
struct ShaderUniform {
    enum Type { FLOAT = 0, VEC2 = 1, VEC3 = 2, VEC4 = 3, SAMPLER_2D = 4, SAMPLER_CUBE = 5, OTHER = 6 };

    ShaderUniform();
    ~ShaderUniform();
    ShaderUniform(const ShaderUniform&) = delete;
    ShaderUniform& operator=(const ShaderUniform&) = delete;

    // Replaces the name with a heap copy of `text`.
    void setName(const char* text);

    char* name = nullptr;        // owned, annotation characters trimmed
    char* textureName = nullptr; // owned; engine texture for a sampler (the scanner leaves it empty)
    int type = OTHER;
    ZEPHRAN_STAGEMILL::Array<float> values; // always four entries
    float minimum = 0.0f;
    float maximum = 0.0f;
    bool automatic = false; // set on every bind from the engine's camera and screen
};

class Shader {
public:
    Shader() = default;
    ~Shader();
    Shader(const Shader&) = delete;
    Shader& operator=(const Shader&) = delete;

    // Scans both sources for uniforms (fragment first), compiles and links
    // them and leaves the program in use. A null source logs and leaves the
    // shader uninitialised, and so does a stage that fails to compile or a
    // failed link (logged with the driver's messages, one per line).
    void init(const char* name, const char* fragmentSource, const char* vertexSource);
    // Uses the program and sets the automatic uniforms it declares.
    void bind();
    // Leaves whatever program is in use: fixed function again.
    static void unbind();
    // The location of `name` in the program; -1 (logged) when absent.
    int getUniformLocation(const char* name);
    // Set a uniform of the program in use (bind first); false when the
    // program has no uniform of that name.
    bool setUniform1f(const char* name, float x);
    bool setUniform2f(const char* name, float x, float y);
    bool setUniform3f(const char* name, float x, float y, float z);
    bool setUniform4f(const char* name, float x, float y, float z, float w);
    bool setUniform1i(const char* name, int v);
    // Deletes the GL objects; the shader is uninitialised afterwards.
    void release();
    // Adds the uniform declarations of `source` to `uniforms`.
    void parseUniforms(const char* source);
    // Frees every uniform record and empties the list.
    void clearUniforms();
    // Takes over the GL objects, uniform list and state of `built` (its own
    // are released first), so users holding this object draw with the new
    // program; `built` is left empty.
    void adopt(Shader& built);

    const char* getName() const { return name.c_str(); }
    bool isInitialised() const { return initialised; }

    ZEPHRAN_STAGEMILL::Array<ShaderUniform*> uniforms;
    bool initialised = false;
    std::string name; // own copy: archive names are built in temporaries
    GLhandleARB vertexShader = 0;
    GLhandleARB fragmentShader = 0;
    GLhandleARB program = 0;
    // What the latest init reported when it failed: the driver's messages,
    // one per line, or which stage failed.
    std::string buildLog;
};

// What rebuilding one shader from edited texts gave.
struct ShaderRebuild {
    std::string shader;
    bool ok = false;
    std::string error; // when not ok: the compiler's or the include expander's messages
    bool kept = false; // when not ok: a previous program stays in use
};

class ShaderManager {
public:
    // The one registry, built (built-in and archive shaders compiled) on the
    // first call. Throws a message string when it cannot be allocated.
    static ShaderManager* create();
    // Releases and frees every shader and the registry; nothing before create.
    static void release();

    // Builds the built-in shaders, then the archive's.
    void init();
    // Rebuilds, once each, every archive shader made from one of the texts
    // `fileNames` (either half of its pair or any text it includes) and each
    // shader whose pair one of them is half of, when both halves are there:
    // compiled, linked and its uniforms scanned again into the registered
    // object. A shader that fails keeps its previous program. Leaves no
    // program in use.
    std::vector<ShaderRebuild> rebuildFromTexts(const std::vector<std::string>& fileNames);
    // Registers (or replaces) `shader` under `name`; always true.
    bool addShader(const char* name, Shader* shader);
    bool addShader(Shader* shader);
    // The shader of that name, or null.
    Shader* getShader(const char* name);
    // The usable shader of that name; when there is none, or it failed to
    // build, logs once per name what `user` does without it ("the pass draws
    // nothing") and returns null.
    static Shader* require(const char* name, const char* user);

    ZEPHRAN_STAGEMILL::Map<Shader*> shaders;
    // Archive pairs not built because an include could not be expanded (the
    // reason is logged when it happens), so a lookup does not call them absent.
    ZEPHRAN_STAGEMILL::Map<bool> refused;

private:
    ShaderManager() = default;
    // Archive shader -> every text its sources came from (includes too,
    // found or not), so an edit of any of them rebuilds it.
    std::map<std::string, std::set<std::string>> sourceTexts_;
    static ShaderManager* instance;
    static bool created;
};

extern ShaderManager* g_shaderManager;
