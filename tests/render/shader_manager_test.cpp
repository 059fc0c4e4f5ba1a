// The shader registry on a real (headless) driver: archive pairs replacing
// a built-in shader, names that make no shader, and the uniforms set on bind.
#include "tests/render/GLTestSupport.h"

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "render/ShaderManager.h"

namespace {

void writeText(const std::filesystem::path& path, const char* text) { std::ofstream(path) << text; }

// Rebuilds the registry from the archive texts in `dir`; returns its log.
std::string rebuildRegistryFrom(const std::string& dir) {
    ShaderManager::release();
    StmRunOptions options = stmGetRunOptions();
    options.dataDir = dir.c_str();
    stmConfigure(options);
    stmReadPak("no-such.pak");
    ::testing::internal::CaptureStderr();
    ShaderManager::create();
    return ::testing::internal::GetCapturedStderr();
}

TEST(ShaderManager, ArchivePairsReplaceBuiltinsAndOddNamesMakeNothing) {
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("zrender-shaders-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    writeText(dir / "color.frag.glsl",
              "uniform sampler2D tex;\nuniform float gain /*0.0_4.0*/;\n"
              "void main(){gl_FragColor=texture2D(tex,gl_TexCoord[0].st)*gain;}");
    writeText(dir / "color.vert.glsl", "void main(){gl_TexCoord[0]=gl_MultiTexCoord0;gl_Position=ftransform();}");
    writeText(dir / "fx.glow.vert.glsl", "void main(){gl_Position=ftransform();}");
    writeText(dir / "fx.glow.frag.glsl", "void main(){gl_FragColor=vec4(1.0);}");
    writeText(dir / "only.frag.glsl", "void main(){gl_FragColor=vec4(1.0);}");
    writeText(dir / "x.glsl", "void main(){}");
    writeText(dir / "x.fragment.glsl", "void main(){}");

    const std::string log = rebuildRegistryFrom(dir.string());
    const unsigned int registered = g_shaderManager->shaders.size();
    rebuildRegistryFrom(rtest::shaderDataDir());
    fs::remove_all(dir);

    EXPECT_EQ(registered, 18u) << "17 built-ins (color replaced in place) and fx.glow";
    EXPECT_NE(log.find("Warning: Malformed shader name: 'x.fragment.glsl'\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("'x.glsl'"), std::string::npos);
    EXPECT_EQ(log.find("only"), std::string::npos) << "a lone file makes nothing and says nothing";
    EXPECT_NE(log.find("Shader \"fx.glow\" loaded."), std::string::npos);
    size_t first = log.find("Shader \"color\" loaded.");
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(log.find("Shader \"color\" loaded.", first + 1), std::string::npos) << "registered again";
    EXPECT_EQ(log.find("error"), std::string::npos) << log;
}

TEST(ShaderManager, ReplacedShaderKeepsOnlyTheArchiveUniforms) {
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("zrender-color-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    writeText(dir / "color.frag.glsl",
              "uniform sampler2D tex;\nuniform float gain /*0.0_4.0*/;\n"
              "void main(){gl_FragColor=texture2D(tex,gl_TexCoord[0].st)*gain;}");
    writeText(dir / "color.vert.glsl", "void main(){gl_TexCoord[0]=gl_MultiTexCoord0;gl_Position=ftransform();}");
    rebuildRegistryFrom(dir.string());
    Shader* color = g_shaderManager->getShader("color");
    ASSERT_NE(color, nullptr);
    ASSERT_EQ(color->uniforms.size(), 2u);
    EXPECT_STREQ(color->uniforms.get(1)->name, "gain");
    EXPECT_FLOAT_EQ(color->uniforms.get(1)->values.get(0), 2.0f);
    EXPECT_STREQ(color->getName(), "color");
    EXPECT_EQ(g_shaderManager->shaders.size(), 17u);
    rebuildRegistryFrom(rtest::shaderDataDir());
    fs::remove_all(dir);
}

TEST(ShaderManager, IncludesExpandBeforeScanningAndBadIncludesBuildNothing) {
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("zrender-include-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    writeText(dir / "tint.glsl", "uniform float gain /*0.0_4.0*/;\nvec4 tint(vec4 c) { return c * gain; }\n");
    writeText(dir / "lit.frag.glsl", "#include \"tint.glsl\"\nvoid main(){gl_FragColor=tint(vec4(1.0));}");
    writeText(dir / "lit.vert.glsl", "void main(){gl_Position=ftransform();}");
    writeText(dir / "lost.frag.glsl", "#include \"nowhere.glsl\"\nvoid main(){gl_FragColor=vec4(1.0);}");
    writeText(dir / "lost.vert.glsl", "void main(){gl_Position=ftransform();}");
    writeText(dir / "loop.glsl", "#include \"loop.glsl\"\n");
    writeText(dir / "loop.frag.glsl", "void main(){gl_FragColor=vec4(1.0);}");
    writeText(dir / "loop.vert.glsl", "#include \"loop.glsl\"\nvoid main(){gl_Position=ftransform();}");

    const std::string log = rebuildRegistryFrom(dir.string());
    Shader* lit = g_shaderManager->getShader("lit");
    const bool lost = g_shaderManager->getShader("lost") != nullptr;
    const bool loop = g_shaderManager->getShader("loop") != nullptr;
    ASSERT_NE(lit, nullptr) << log;
    ASSERT_EQ(lit->uniforms.size(), 1u) << "the included declaration is scanned";
    EXPECT_STREQ(lit->uniforms.get(0)->name, "gain");
    EXPECT_FLOAT_EQ(lit->uniforms.get(0)->maximum, 4.0f);
    lit->bind();
    EXPECT_TRUE(lit->setUniform1f("gain", 2.0f)) << "the included uniform is in the compiled program";
    Shader::unbind();
    rebuildRegistryFrom(rtest::shaderDataDir());
    fs::remove_all(dir);

    EXPECT_FALSE(lost);
    EXPECT_FALSE(loop);
    EXPECT_NE(log.find("Shader \"lost\" not built: include \"nowhere.glsl\" not found in 'lost.frag.glsl'"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("Shader \"loop\" not built: include \"loop.glsl\" includes itself"), std::string::npos) << log;
    EXPECT_EQ(log.find("Malformed"), std::string::npos) << "include texts are not shader halves";
}

TEST(ShaderManager, ArchiveShadersBuildWithTheirIncludes) {
    const std::string& log = rtest::startupLog();
    EXPECT_EQ(log.find("not built"), std::string::npos) << log;
    for (const char* name : {"logo", "logo_ground", "logo_depth", "plates_depth", "background", "growmotikka"}) {
        Shader* shader = g_shaderManager->getShader(name);
        ASSERT_NE(shader, nullptr) << name;
        GLint linked = 0;
        glGetObjectParameterivARB(shader->program, GL_OBJECT_LINK_STATUS_ARB, &linked);
        EXPECT_EQ(linked, 1) << name << " did not link";
    }
}

TEST(ShaderManager, BindSetsTheAutomaticUniformsItDeclares) {
    Shader shader;
    shader.init("automatic-test",
                "uniform float screenWidth;\nuniform vec3 camPos;\nuniform vec3 farPlane;\n"
                "void main(){gl_FragColor=vec4(screenWidth,camPos.x,farPlane.y,1.0);}",
                "void main(){gl_Position=ftransform();}");
    stmSetPerspective(60.0f, 0.5f, 40.0f);
    stmLookAt(1.0f, 2.0f, 3.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f);
    shader.bind();
    float width = 0.0f, cam[3] = {0, 0, 0}, wrongType[3] = {-1, -1, -1};
    glGetUniformfvARB(shader.program, glGetUniformLocationARB(shader.program, "screenWidth"), &width);
    glGetUniformfvARB(shader.program, glGetUniformLocationARB(shader.program, "camPos"), cam);
    glGetUniformfvARB(shader.program, glGetUniformLocationARB(shader.program, "farPlane"), wrongType);
    EXPECT_FLOAT_EQ(width, static_cast<float>(stmGetWidth()));
    EXPECT_FLOAT_EQ(cam[0], stmGetCameraPosition().x);
    EXPECT_FLOAT_EQ(cam[2], stmGetCameraPosition().z);
    EXPECT_FLOAT_EQ(wrongType[1], 0.0f) << "farPlane declared as vec3 is not set";

    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(shader.setUniform1f("missing", 1.0f));
    std::string log = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("ERROR: can't find uniform variable 'missing' from 'automatic-test'."), std::string::npos);
    Shader::unbind();
    shader.release();
}

} // namespace
