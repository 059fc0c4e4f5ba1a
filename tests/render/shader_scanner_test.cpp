// The uniform word scanner: annotations, trimming, what it must not record,
// and the uniforms it finds in every built-in shader.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "render/BuiltinShaders.h"
#include "render/ShaderManager.h"

namespace {

struct Scanned {
    std::string name;
    int type;
    float minimum, maximum;
    float values[4];
    bool automatic;
};

std::vector<Scanned> scan(const char* source) {
    Shader shader;
    shader.parseUniforms(source);
    std::vector<Scanned> out;
    for (unsigned int i = 0; i < shader.uniforms.size(); ++i) {
        const ShaderUniform* u = shader.uniforms.get(i);
        EXPECT_EQ(u->values.size(), 4u);
        out.push_back({u->name,
                       u->type,
                       u->minimum,
                       u->maximum,
                       {u->values.get(0), u->values.get(1), u->values.get(2), u->values.get(3)},
                       u->automatic});
    }
    return out;
}

std::vector<std::string> names(const char* source) {
    std::vector<std::string> out;
    for (const Scanned& s : scan(source)) out.push_back(s.name);
    return out;
}

TEST(ShaderScanner, RangeAnnotationJoinedOrSeparate) {
    for (const char* src : {"uniform float strength /*0.0_10.0*/;", "uniform float strength/*0.0_10.0*/;"}) {
        auto u = scan(src);
        ASSERT_EQ(u.size(), 1u) << src;
        EXPECT_EQ(u[0].name, "strength");
        EXPECT_FLOAT_EQ(u[0].minimum, 0.0f);
        EXPECT_FLOAT_EQ(u[0].maximum, 10.0f);
        for (float v : u[0].values) EXPECT_FLOAT_EQ(v, 5.0f);
    }
    auto k = scan("uniform float k /*5*/;");
    ASSERT_EQ(k.size(), 1u);
    EXPECT_FLOAT_EQ(k[0].minimum, 0.0f);
    EXPECT_FLOAT_EQ(k[0].maximum, 5.0f);
    EXPECT_FLOAT_EQ(k[0].values[3], 2.5f);
    auto negative = scan("uniform vec2 shift /*-2.5_0.5*/;");
    ASSERT_EQ(negative.size(), 1u);
    EXPECT_FLOAT_EQ(negative[0].minimum, -2.5f);
    EXPECT_FLOAT_EQ(negative[0].values[0], -1.0f);
}

TEST(ShaderScanner, DefaultsByTypeAndAutomaticNames) {
    auto u = scan(
        "uniform vec3 camPos;\nuniform sampler2D tex;\nuniform int count;\n"
        "uniform sampler2DShadow shadowMap;\nuniform vec3 screenWidth;\nuniform samplerCube cube;");
    ASSERT_EQ(u.size(), 6u);
    EXPECT_TRUE(u[0].automatic);
    EXPECT_EQ(u[0].type, ShaderUniform::VEC3);
    EXPECT_FLOAT_EQ(u[0].values[2], 1.0f);
    EXPECT_FLOAT_EQ(u[0].values[3], 0.0f);
    EXPECT_FLOAT_EQ(u[0].maximum, 1.0f);
    EXPECT_EQ(u[1].type, ShaderUniform::SAMPLER_2D);
    EXPECT_FLOAT_EQ(u[1].values[0], 0.0f);
    EXPECT_FLOAT_EQ(u[1].maximum, 0.0f);
    EXPECT_EQ(u[2].type, ShaderUniform::OTHER);
    EXPECT_FLOAT_EQ(u[2].values[0], 1.0f);
    EXPECT_FLOAT_EQ(u[2].values[1], 0.0f);
    EXPECT_EQ(u[3].type, ShaderUniform::OTHER);
    EXPECT_TRUE(u[4].automatic); // flagged by name; bind() sets it only as a float
    EXPECT_EQ(u[5].type, ShaderUniform::SAMPLER_CUBE);
}

TEST(ShaderScanner, TrailingDigitsTrimmedOnlyWithAnAnnotation) {
    EXPECT_EQ(names("uniform float tex1;"), std::vector<std::string>{"tex1"});
    auto joined = scan("uniform float tex1/*0_2*/;");
    ASSERT_EQ(joined.size(), 1u);
    EXPECT_EQ(joined[0].name, "tex");
    EXPECT_FLOAT_EQ(joined[0].maximum, 2.0f);
    EXPECT_EQ(names("uniform float tex1 /*0_2*/;"), std::vector<std::string>{"tex"});
}

TEST(ShaderScanner, DeclaresNothingWhereTheWordsDoNotLineUp) {
    EXPECT_TRUE(names("//uniform float a;").empty());
    EXPECT_TRUE(names("/*uniform*/ float a;").empty());
    EXPECT_TRUE(names(" uniform float a;").empty());
    EXPECT_TRUE(names("uniform float;").empty());
    EXPECT_TRUE(names("").empty());
    // Everything after the first statement whose first word holds "void".
    EXPECT_EQ(names("uniform float a;\nvoid main(){float b;\nuniform float c;}"), std::vector<std::string>{"a"});
    // Tabs are not separators; extra spaces are.
    EXPECT_EQ(names("uniform  float   wide;uniform\tfloat tab;"), (std::vector<std::string>{"wide"}));
}

TEST(ShaderScanner, HugeAnnotationIsKept) {
    ::testing::internal::CaptureStderr();
    auto u = scan("uniform float big /*0_1e999*/;");
    std::string log = ::testing::internal::GetCapturedStderr();
    ASSERT_EQ(u.size(), 1u);
    EXPECT_TRUE(std::isinf(u[0].maximum));
    EXPECT_NE(log.find("Parsing uniform maximum resulted in HUGE_VAL for uniform name: big"), std::string::npos);
}

// What the scanner records for each built-in shader, fragment stage first.
TEST(ShaderScanner, BuiltinShadersDeclareTheDocumentedUniforms) {
    const std::vector<std::pair<std::string, std::vector<std::string>>> expected = {
        {"mixaa", {"tex1", "tex2"}},
        {"lightray", {"caustic", "shadowMap"}},
        {"color", {"tex", "saturate", "brightness", "contrast"}},
        {"sindistort", {"tex", "xfreq", "yfreq", "xphase", "yphase", "xamp", "yamp", "alpha"}},
        {"chrome", {"tex", "times"}},
        {"meta", {"tex", "times"}},
        {"blurx", {"tex", "alpha", "xoff"}},
        {"blury", {"tex", "alpha", "yoff"}},
        {"blur2x", {"tex", "alpha", "xoff"}},
        {"blur2y", {"tex", "alpha", "yoff"}},
        {"blur2xNoBleed", {"tex", "depthCompare", "alpha", "xoff"}},
        {"blur2yNoBleed", {"tex", "depthCompare", "yoff"}},
        {"darken", {"tex", "alpha"}},
        {"glowc", {"texunit0", "texunit1", "glow_amount"}},
        {"edge", {"tex"}}, // savy sits after three spaces: not recorded
        {"shadowmap", {"shadowMap"}},
        {"projectTexture", {"tex"}},
    };
    ASSERT_EQ(expected.size(), static_cast<size_t>(kBuiltinShaderCount));
    for (int i = 0; i < kBuiltinShaderCount; ++i) {
        const BuiltinShader& b = kBuiltinShaders[i];
        EXPECT_EQ(b.name, expected[i].first);
        Shader shader;
        shader.parseUniforms(b.fragment);
        shader.parseUniforms(b.vertex);
        std::vector<std::string> found;
        for (unsigned int k = 0; k < shader.uniforms.size(); ++k) found.push_back(shader.uniforms.get(k)->name);
        EXPECT_EQ(found, expected[i].second) << b.name;
    }
    EXPECT_NE(std::string(kBuiltinShaders[14].fragment).find("uniform float savy"), std::string::npos);
}

} // namespace
