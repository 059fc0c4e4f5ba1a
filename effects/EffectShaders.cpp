// Shader look-up for effects.
#include "effects/EffectShaders.h"

#include "engine/stagemill.h"
#include "render/ShaderManager.h"

Shader* useEffectShader(const char* name) {
    Shader* shader = ShaderManager::require(name, "drawing without it");
    if (shader)
        shader->bind();
    else
        Shader::unbind();
    return shader;
}
