// The shader registry: its lifetime, the built-in shaders and the archive's
// N.vert.glsl / N.frag.glsl pairs.
#include "render/ShaderManager.h"

#include <cstring>
#include <new>

#include "engine/stagemill.h"
#include "render/BuiltinShaders.h"
#include "render/ShaderInclude.h"
#include "render/ShaderText.h"

ShaderManager* g_shaderManager = nullptr;
ShaderManager* ShaderManager::instance = nullptr;
bool ShaderManager::created = false;

namespace {

std::string joinPieces(const std::vector<std::string>& pieces, size_t count) {
    std::string joined;
    for (size_t i = 0; i < count; ++i) {
        if (i) joined += '.';
        joined += pieces[i];
    }
    return joined;
}

// The archive text `fileName` with its includes expanded into `expanded`; a
// missing text stays null (Shader::init reports it). False, logged with the
// shader's name, when an include cannot be expanded.
bool archiveSource(const std::string& shaderName, const std::string& fileName, std::string& expanded,
                   const char*& source) {
    source = stmGetText(fileName.c_str());
    if (!source) return true;
    std::string error;
    if (!expandShaderIncludes(source, [](const std::string& name) { return stmGetText(name.c_str()); }, expanded,
                              error)) {
        stmMsg("Shader \"%.500s\" not built: %.500s in '%.500s'\n", shaderName.c_str(), error.c_str(),
               fileName.c_str());
        return false;
    }
    source = expanded.c_str();
    return true;
}

} // namespace

ShaderManager* ShaderManager::create() {
    if (!instance) {
        ShaderManager* registry = new (std::nothrow) ShaderManager();
        if (!registry) throw "ShaderManager::create(): Memory allocation error";
        instance = registry;
        g_shaderManager = registry;
        registry->init();
        created = true;
        stmMsg("ShaderManager::create(): ShaderManager instance created\n");
    }
    return instance;
}

void ShaderManager::release() {
    if (!created) return;
    created = false;
    ShaderManager* registry = instance;
    for (unsigned int i = 0; i < registry->shaders.size(); ++i) {
        Shader* shader = registry->shaders.get(i);
        shader->release();
        delete shader;
    }
    delete registry;
    instance = nullptr;
    g_shaderManager = nullptr;
    stmMsg("ShaderManager::release(): Instance deleted\n");
}

bool ShaderManager::addShader(const char* name, Shader* shader) {
    shaders.add(name, shader);
    if (shader->isInitialised())
        stmMsg("ShaderManager::addShader(): Shader \"%s\" loaded.\n", name);
    else
        stmMsg("Added shader was not initialized\n");
    return true;
}

bool ShaderManager::addShader(Shader* shader) { return addShader(shader->getName(), shader); }

Shader* ShaderManager::getShader(const char* name) { return name ? shaders.find(name) : nullptr; }

Shader* ShaderManager::require(const char* name, const char* user) {
    Shader* shader = g_shaderManager ? g_shaderManager->getShader(name) : nullptr;
    if (!shader || !shader->isInitialised()) {
        static ZEPHRAN_STAGEMILL::Map<bool> reported;
        if (!reported.exists(name)) {
            reported.add(name, true);
            if (shader)
                stmMsg("Shader \"%s\" did not build (see its errors above); %s\n", name, user);
            else if (g_shaderManager && g_shaderManager->refused.exists(name))
                stmMsg("Shader \"%s\" was not built (see the reason above); %s\n", name, user);
            else
                stmMsg("Shader \"%s\" is not in the registry (no %s.vert.glsl / %s.frag.glsl); %s\n", name, name,
                       name, user);
        }
        return nullptr;
    }
    return shader;
}

void ShaderManager::init() {
    stmMsg("ShaderManager::init() : Initializing shaders\n");
    // A stop signal ends the building (a slow compile must not hold the run).
    for (const BuiltinShader& b : kBuiltinShaders) {
        if (stmStopSignal()) break;
        Shader* shader = new Shader();
        shader->init(b.name, b.fragment, b.vertex);
        addShader(shader);
    }

    stm::Map<const char*> files;
    for (int i = 0; i < stmGetTextCount(); ++i) {
        const char* fileName = stmGetTextFileNameAtIndex(i);
        if (fileName && std::strstr(fileName, ".glsl")) files.add(fileName, stmGetTextAtIndex(i));
    }
    for (unsigned int i = 0; i < files.size() && !stmStopSignal(); ++i) {
        const std::string fileName = files.getKey(i);
        std::vector<std::string> pieces = splitString(fileName, ".");
        if (pieces.size() < 3) continue;
        std::string& stage = pieces[pieces.size() - 2];
        if (stage == "frag") {
            stage = "vert";
        } else if (stage == "vert") {
            stage = "frag";
        } else {
            stmMsg("Warning: Malformed shader name: '%.500s'\n", fileName.c_str());
            continue;
        }
        const std::string partner = joinPieces(pieces, pieces.size());
        // Each pair once: from the member that comes first in name order.
        if (!files.exists(partner) || !stm::ByteOrder()(fileName, partner)) continue;

        const std::string shaderName = joinPieces(pieces, pieces.size() - 2);
        const bool firstIsFragment = fileName.find(".frag.glsl") != std::string::npos;
        const std::string& fragmentFile = firstIsFragment ? fileName : partner;
        const std::string& vertexFile = firstIsFragment ? partner : fileName;
        std::string fragmentText, vertexText;
        const char* fragment = nullptr;
        const char* vertex = nullptr;
        if (!archiveSource(shaderName, fragmentFile, fragmentText, fragment) ||
            !archiveSource(shaderName, vertexFile, vertexText, vertex)) {
            refused.add(shaderName.c_str(), true);
            continue;
        }

        Shader* shader = getShader(shaderName.c_str());
        if (shader) {
            // An archive pair replaces the built-in shader in place.
            shader->clearUniforms();
            shader->release();
        } else {
            shader = new Shader();
        }
        shader->init(shaderName.c_str(), fragment, vertex);
        addShader(shader);
    }

    Shader::unbind();
    stmMsg("ShaderManager::init() : Shaders created\n");
}
