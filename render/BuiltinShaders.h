// The shader sources built into the program.
#pragma once

struct BuiltinShader {
    const char* name;
    const char* fragment;
    const char* vertex;
};

const int kBuiltinShaderCount = 17;
extern const BuiltinShader kBuiltinShaders[kBuiltinShaderCount];
