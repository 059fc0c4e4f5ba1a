// libFuzzer target over the shader text path: include expansion with its
// depth and size bounds, then the uniform scanner with its annotations over
// the expanded text. The input is NUL-separated pieces: the shader source
// first, then the texts of "1.glsl", "2.glsl", ... that it may include.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>

#include "render/ShaderInclude.h"
#include "render/ShaderManager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::map<std::string, std::string> texts;
    std::string source;
    size_t start = 0;
    for (int piece = 0; start <= size; ++piece) {
        const uint8_t* end = static_cast<const uint8_t*>(memchr(data + start, 0, size - start));
        const size_t stop = end ? size_t(end - data) : size;
        std::string text(reinterpret_cast<const char*>(data) + start, stop - start);
        if (piece == 0)
            source = std::move(text);
        else
            texts[std::to_string(piece) + ".glsl"] = std::move(text);
        start = stop + 1;
    }
    std::string expanded, error;
    const bool ok = expandShaderIncludes(
        source.c_str(),
        [&](const std::string& name) -> const char* {
            auto it = texts.find(name);
            return it == texts.end() ? nullptr : it->second.c_str();
        },
        expanded, error);
    if (ok && expanded.size() > kMaxExpandedShaderBytes) __builtin_trap();
    Shader shader;
    shader.parseUniforms(ok ? expanded.c_str() : source.c_str());
    return 0;
}
