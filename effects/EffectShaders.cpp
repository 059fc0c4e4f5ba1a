// Shader look-up for effects.
#include "effects/EffectShaders.h"

#include "engine/stagemill.h"
#include "render/ShaderManager.h"

Shader* effectShader(const char* name) { return ShaderManager::require(name, "drawing without it"); }

Shader* useEffectShader(const char* name) {
    Shader* shader = effectShader(name);
    if (shader)
        shader->bind();
    else
        Shader::unbind();
    return shader;
}
