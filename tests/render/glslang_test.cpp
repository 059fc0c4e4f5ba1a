// Every shader of the program against the reference GLSL compiler: the
// archive's shader pairs after include expansion and the built-in shaders,
// each stage at its own #version (110 where it names none), through
// glslangValidator. A failure names the shader, the stage and the
// compiler's first error line.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "render/BuiltinShaders.h"
#include "render/ShaderInclude.h"

namespace fs = std::filesystem;

namespace {

fs::path shaderDir() {
    const char* source = std::getenv("ZEPHRAN_SOURCE_DIR");
    return fs::path(source ? source : ".") / "data" / "shaders";
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The source as the compiler takes it: a #version first, 110 when the text
// has none (the GLSL default the driver assumes).
std::string withVersion(const std::string& source) {
    std::istringstream lines(source);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos || line.compare(first, 2, "//") == 0) continue;
        if (line.compare(first, 8, "#version") == 0) return source;
        break;
    }
    return "#version 110\n" + source;
}

// Empty when glslangValidator accepts `source` as the `stage` ("vert" or
// "frag") of `name`; else "<name> (<stage>): <the compiler's first error>".
std::string validate(const std::string& name, const std::string& stage, const std::string& source) {
    const fs::path dir = fs::temp_directory_path() / ("zephran-glslang-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path file = dir / (name + "." + stage);
    std::ofstream(file, std::ios::binary) << withVersion(source);
    const std::string command = "glslangValidator '" + file.string() + "' 2>&1";
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return name + " (" + stage + "): cannot run glslangValidator";
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
    const int status = ::pclose(pipe);
    fs::remove(file);
    if (status == 0) return std::string();
    std::string first = output;
    const size_t error = output.find("ERROR:");
    if (error != std::string::npos)
        first = output.substr(error, output.find('\n', error) - error);
    else if (output.find("not found") != std::string::npos || WEXITSTATUS(status) == 127)
        first = "glslangValidator is missing (Debian's glslang-tools): " + output;
    return name + " (" + stage + "): " + first;
}

TEST(GLSLang, EveryArchiveShaderPairCompilesAfterIncludeExpansion) {
    const fs::path dir = shaderDir();
    std::map<std::string, std::string> texts; // each include read once, kept while expanding
    const ShaderTextLookup lookup = [&](const std::string& member) -> const char* {
        if (!fs::exists(dir / member)) return nullptr;
        auto it = texts.emplace(member, readFile(dir / member)).first;
        return it->second.c_str();
    };
    int stages = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string file = entry.path().filename().string();
        for (const std::string stage : {"vert", "frag"}) {
            const std::string suffix = "." + stage + ".glsl";
            if (file.size() <= suffix.size() || file.compare(file.size() - suffix.size(), suffix.size(), suffix))
                continue;
            std::string expanded, error;
            const std::string text = readFile(entry.path());
            ASSERT_TRUE(expandShaderIncludes(text.c_str(), lookup, expanded, error)) << file << ": " << error;
            const std::string problem = validate(file.substr(0, file.size() - suffix.size()), stage, expanded);
            EXPECT_TRUE(problem.empty()) << problem;
            ++stages;
        }
    }
    EXPECT_GE(stages, 38) << "the archive's shaders were not found in " << dir;
}

TEST(GLSLang, EveryBuiltinShaderCompiles) {
    for (const BuiltinShader& shader : kBuiltinShaders) {
        const std::string vertex = validate(shader.name, "vert", shader.vertex);
        EXPECT_TRUE(vertex.empty()) << vertex;
        const std::string fragment = validate(shader.name, "frag", shader.fragment);
        EXPECT_TRUE(fragment.empty()) << fragment;
    }
}

// The check itself: a wrong shader is refused, and the report names it and
// quotes the compiler; a version the text states is kept.
TEST(GLSLang, AWrongShaderFailsWithItsNameAndTheCompilersLine) {
    const std::string problem = validate("broken_on_purpose", "frag", "void main() { gl_FragColor = vec4(1) }\n");
    EXPECT_EQ(problem.rfind("broken_on_purpose (frag): ERROR:", 0), 0u) << problem;
    // Without its #version 130 this would be refused at 110 (no `in` qualifiers).
    EXPECT_EQ(validate("versioned", "vert", "#version 130\nin vec4 p;\nvoid main() { gl_Position = p; }\n"), "");
    EXPECT_NE(validate("unversioned", "vert", "in vec4 p;\nvoid main() { gl_Position = p; }\n"), "");
}

} // namespace
