// Shader look-up for effects: the registry's shader of a name, bound.
#pragma once

class Shader;

// Binds the registered shader `name` and returns it. When the registry has no
// such shader (an archive without the shader's texts) it logs that once per
// name, leaves no program in use (so nothing is drawn with whichever shader
// was bound before) and returns null; the caller skips its uniforms and draws
// fixed-function.
Shader* useEffectShader(const char* name);
// The same shader without binding it (for a DrawState to bind); null, logged
// once, when the registry has none of that name.
Shader* effectShader(const char* name);
