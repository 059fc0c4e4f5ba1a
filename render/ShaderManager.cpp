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

// The two texts of archive shader `shader`.
struct ArchivePair {
    std::string shader, fragmentFile, vertexFile, partner;
};

enum class PairName { None, Malformed, Half };

// Whether `fileName` is half of a pair N.frag.glsl / N.vert.glsl (N may hold
// dots), and which; fewer than three dot pieces name no pair at all.
PairName pairOf(const std::string& fileName, ArchivePair& pair) {
    std::vector<std::string> pieces = splitString(fileName, ".");
    if (pieces.size() < 3) return PairName::None;
    std::string& stage = pieces[pieces.size() - 2];
    if (stage != "frag" && stage != "vert") return PairName::Malformed;
    const bool isFragment = stage == "frag";
    stage = isFragment ? "vert" : "frag";
    pair.partner = joinPieces(pieces, pieces.size());
    pair.shader = joinPieces(pieces, pieces.size() - 2);
    pair.fragmentFile = isFragment ? fileName : pair.partner;
    pair.vertexFile = isFragment ? pair.partner : fileName;
    return PairName::Half;
}

// The archive text `fileName` with its includes expanded into `expanded`; a
// missing text stays null (Shader::init reports it). False, logged with the
// shader's name and said in `error`, when an include cannot be expanded.
// `texts` gets every text asked for.
bool archiveSource(const std::string& shaderName, const std::string& fileName, std::string& expanded,
                   const char*& source, std::set<std::string>& texts, std::string& error) {
    texts.insert(fileName);
    source = stmGetText(fileName.c_str());
    if (!source) return true;
    const auto lookup = [&texts](const std::string& name) {
        texts.insert(name);
        return stmGetText(name.c_str());
    };
    if (!expandShaderIncludes(source, lookup, expanded, error)) {
        error += " in '" + fileName + "'";
        stmMsg("Shader \"%.500s\" not built: %.500s\n", shaderName.c_str(), error.c_str());
        return false;
    }
    source = expanded.c_str();
    return true;
}

// The pair built into a new Shader (initialised or not, as its sources
// allow); null when an include could not be expanded (`error` says why).
Shader* buildPair(const ArchivePair& pair, std::set<std::string>& texts, std::string& error) {
    std::string fragmentText, vertexText;
    const char* fragment = nullptr;
    const char* vertex = nullptr;
    if (!archiveSource(pair.shader, pair.fragmentFile, fragmentText, fragment, texts, error) ||
        !archiveSource(pair.shader, pair.vertexFile, vertexText, vertex, texts, error))
        return nullptr;
    Shader* shader = new Shader();
    shader->init(pair.shader.c_str(), fragment, vertex);
    return shader;
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
                stmMsg("Shader \"%s\" is not in the registry (no %s.vert.glsl / %s.frag.glsl); %s\n", name, name, name,
                       user);
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
        ArchivePair pair;
        const PairName kind = pairOf(fileName, pair);
        if (kind == PairName::Malformed) stmMsg("Warning: Malformed shader name: '%.500s'\n", fileName.c_str());
        // Each pair once: from the member that comes first in name order.
        if (kind != PairName::Half || !files.exists(pair.partner) || !stm::ByteOrder()(fileName, pair.partner))
            continue;
        std::set<std::string> texts;
        std::string error;
        Shader* built = buildPair(pair, texts, error);
        sourceTexts_[pair.shader] = texts;
        if (!built) {
            refused.add(pair.shader.c_str(), true); // its include was refused; the reason is logged
            continue;
        }
        Shader* shader = getShader(pair.shader.c_str());
        if (shader) {
            // An archive pair replaces the built-in shader in place.
            shader->adopt(*built);
            delete built;
        } else {
            shader = built;
        }
        addShader(shader);
    }

    Shader::unbind();
    stmMsg("ShaderManager::init() : Shaders created\n");
}

std::vector<ShaderRebuild> ShaderManager::rebuildFromTexts(const std::vector<std::string>& fileNames) {
    std::set<std::string> names;
    for (const std::string& file : fileNames) {
        for (const auto& entry : sourceTexts_)
            if (entry.second.count(file)) names.insert(entry.first);
        ArchivePair own;
        if (pairOf(file, own) == PairName::Half && stmGetText(own.partner.c_str())) names.insert(own.shader);
    }

    std::vector<ShaderRebuild> results;
    for (const std::string& name : names) {
        ArchivePair pair;
        pair.shader = name;
        pair.fragmentFile = name + ".frag.glsl";
        pair.vertexFile = name + ".vert.glsl";
        std::set<std::string> texts;
        ShaderRebuild result;
        result.shader = name;
        Shader* built = buildPair(pair, texts, result.error);
        sourceTexts_[name] = texts;
        if (built && built->isInitialised()) {
            Shader* shader = getShader(name.c_str());
            if (shader) {
                shader->adopt(*built);
                delete built;
            } else {
                addShader(built);
            }
            result.ok = true;
            result.error.clear();
        } else {
            if (built) result.error = built->buildLog;
            delete built;
            const Shader* previous = getShader(name.c_str());
            result.kept = previous && previous->isInitialised();
        }
        results.push_back(result);
    }
    Shader::unbind();
    return results;
}
