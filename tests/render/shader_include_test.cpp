// Include expansion of archive shader texts: what replaces an include line,
// nesting, and the texts that cannot be expanded (missing, recursive,
// malformed). Also checks that every include among the archive's own shader
// texts expands.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "render/ShaderInclude.h"

namespace {

struct Texts {
    std::map<std::string, std::string> byName;
    ShaderTextLookup lookup() const {
        return [this](const std::string& name) -> const char* {
            auto it = byName.find(name);
            return it == byName.end() ? nullptr : it->second.c_str();
        };
    }
};

TEST(ShaderInclude, IncludeLinesAreReplacedByTheirTextsNestedAndRepeated) {
    Texts texts;
    texts.byName["pack.glsl"] = "float pack(float d) { return d; }"; // no final newline
    texts.byName["lookup.glsl"] = "#include \"pack.glsl\"\nuniform sampler2D shadowMap;\n";
    std::string out, error;
    ASSERT_TRUE(
        expandShaderIncludes("varying vec4 c;\n  #include \"lookup.glsl\"  \nvoid main(){}\n"
                             "\t#include\"pack.glsl\"\n",
                             texts.lookup(), out, error))
        << error;
    EXPECT_EQ(out,
              "varying vec4 c;\nfloat pack(float d) { return d; }\nuniform sampler2D shadowMap;\nvoid main(){}\n"
              "float pack(float d) { return d; }\n");
    EXPECT_TRUE(error.empty());

    // Text without includes passes unchanged, including a last line without
    // a newline and a mention of #include that does not start a line.
    const char* plain = "// see #include \"x.glsl\"\nvoid main(){}";
    ASSERT_TRUE(expandShaderIncludes(plain, texts.lookup(), out, error));
    EXPECT_EQ(out, plain);
}

TEST(ShaderInclude, MissingRecursiveAndMalformedIncludesFail) {
    Texts texts;
    texts.byName["a.glsl"] = "#include \"b.glsl\"\n";
    texts.byName["b.glsl"] = "float b;\n#include \"a.glsl\"\n";
    texts.byName["self.glsl"] = "#include \"self.glsl\"\n";
    texts.byName["outer.glsl"] = "#include \"gone.glsl\"\n";
    std::string out, error;

    EXPECT_FALSE(expandShaderIncludes("#include \"missing.glsl\"\nvoid main(){}", texts.lookup(), out, error));
    EXPECT_EQ(error, "include \"missing.glsl\" not found");

    EXPECT_FALSE(expandShaderIncludes("#include \"outer.glsl\"\n", texts.lookup(), out, error));
    EXPECT_EQ(error, "include \"gone.glsl\" not found (outer.glsl -> gone.glsl)");

    EXPECT_FALSE(expandShaderIncludes("#include \"a.glsl\"\n", texts.lookup(), out, error));
    EXPECT_EQ(error, "include \"a.glsl\" includes itself (a.glsl -> b.glsl -> a.glsl)");

    EXPECT_FALSE(expandShaderIncludes("#include \"self.glsl\"\n", texts.lookup(), out, error));
    EXPECT_NE(error.find("includes itself"), std::string::npos);

    for (const char* bad : {"#include shadow.glsl\n", "#include \"\"\n", "#include \"a.glsl\" extra\n",
                            "#include \"a.glsl\n", "#includes \"a.glsl\"\n"}) {
        EXPECT_FALSE(expandShaderIncludes(bad, texts.lookup(), out, error)) << bad;
        EXPECT_NE(error.find("malformed include line"), std::string::npos) << bad;
    }
}

// A chain of includes one file deep each, and a few files that each include
// the next several times, are refused at their bound instead of overflowing
// the stack or memory; just inside the bounds they still expand.
TEST(ShaderInclude, DepthAndExpandedSizeAreBounded) {
    auto chain = [](int length) {
        Texts texts;
        for (int i = 0; i < length; ++i)
            texts.byName["c" + std::to_string(i) + ".glsl"] =
                i + 1 < length ? "#include \"c" + std::to_string(i + 1) + ".glsl\"\n" : "float last;\n";
        return texts;
    };
    std::string out, error;
    Texts deepest = chain(kMaxIncludeDepth);
    EXPECT_TRUE(expandShaderIncludes("#include \"c0.glsl\"\n", deepest.lookup(), out, error)) << error;
    EXPECT_EQ(out, "float last;\n");
    Texts tooDeep = chain(23000);
    EXPECT_FALSE(expandShaderIncludes("#include \"c0.glsl\"\n", tooDeep.lookup(), out, error));
    EXPECT_EQ(error.find("includes nest deeper than 32 levels (c0.glsl -> c1.glsl -> "), 0u) << error;

    // Twelve files of four includes each would expand to 4^12 copies.
    Texts fan;
    for (int i = 0; i < 12; ++i) {
        std::string next = "#include \"f" + std::to_string(i + 1) + ".glsl\"\n";
        fan.byName["f" + std::to_string(i) + ".glsl"] = next + next + next + next;
    }
    fan.byName["f12.glsl"] = "vec4 v = vec4(1.0);\n";
    EXPECT_FALSE(expandShaderIncludes("#include \"f0.glsl\"\n", fan.lookup(), out, error));
    EXPECT_EQ(error.find("expands past 1048576 bytes (in f"), 0u) << error;

    // Includes of an empty text add nothing but still count, so a text of
    // them cannot make the expander spin.
    Texts empty;
    empty.byName["e.glsl"] = "";
    empty.byName["e4.glsl"] = "#include \"e.glsl\"\n#include \"e.glsl\"\n#include \"e.glsl\"\n#include \"e.glsl\"\n";
    std::string many;
    for (int i = 0; i < 4; ++i) many += "#include \"e4.glsl\"\n";
    EXPECT_TRUE(expandShaderIncludes(many.c_str(), empty.lookup(), out, error)) << error;
    EXPECT_EQ(out, "");
    std::string tooMany;
    while (tooMany.size() <= kMaxExpandedShaderBytes) tooMany += "#include \"e.glsl\"\n";
    EXPECT_FALSE(expandShaderIncludes(tooMany.c_str(), empty.lookup(), out, error));
    EXPECT_EQ(error, "expands past 1048576 bytes");
}

TEST(ShaderInclude, EveryArchiveShaderTextExpands) {
    namespace fs = std::filesystem;
    const char* root = std::getenv("ZEPHRAN_SOURCE_DIR");
    ASSERT_NE(root, nullptr);
    Texts texts;
    for (const auto& entry : fs::directory_iterator(fs::path(root) / "data" / "shaders")) {
        std::ifstream in(entry.path());
        std::stringstream text;
        text << in.rdbuf();
        texts.byName[entry.path().filename().string()] = text.str();
    }
    ASSERT_FALSE(texts.byName.empty());
    for (const auto& [name, text] : texts.byName) {
        std::string out, error;
        EXPECT_TRUE(expandShaderIncludes(text.c_str(), texts.lookup(), out, error)) << name << ": " << error;
        EXPECT_EQ(out.find("#include"), std::string::npos) << name;
    }
}

} // namespace
