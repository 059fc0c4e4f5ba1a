// Shader look-up for effects.
#include "effects/EffectShaders.h"

#include <set>
#include <string>

#include "engine/stagemill.h"
#include "render/ShaderManager.h"

Shader* useEffectShader(const char* name) {
    Shader* shader = g_shaderManager ? g_shaderManager->getShader(name) : nullptr;
    if (!shader) {
        static std::set<std::string> reported;
        if (reported.insert(name).second)
            stmMsg("Effect shader \"%s\" is not in the registry (no %s.vert.glsl / %s.frag.glsl); drawing without it\n",
                   name, name, name);
        return nullptr;
    }
    shader->bind();
    return shader;
}
