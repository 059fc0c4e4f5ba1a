// One GLSL program of the registry: compile and link, the uniform word
// scanner with its range annotations, the automatic uniforms set on bind,
// and the uniform setters.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "engine/stagemill.h"
#include "render/ShaderManager.h"
#include "render/ShaderText.h"

namespace {

// Characters an annotation leaves at the end of a name written against it
// (strength/*0_10*/); trailing digits of the name itself go too.
const char* const kAnnotationChars = "/*_1234567890.-";

const char* const kAutomaticNames[] = {"camPos",   "camDir",       "camTarget",   "camUp",      "nearPlane",
                                       "farPlane", "screenHeight", "screenWidth", "aspectRatio"};

bool contains(const std::string& word, const char* part) { return word.find(part) != std::string::npos; }

int uniformType(const std::string& word) {
    static const char* const kTypes[] = {"float", "vec2", "vec3", "vec4", "sampler2D", "samplerCube"};
    for (int i = 0; i < 6; ++i)
        if (word == kTypes[i]) return i;
    return ShaderUniform::OTHER;
}

int componentCount(int type) { return type >= ShaderUniform::FLOAT && type <= ShaderUniform::VEC4 ? type + 1 : 1; }

bool isAutomaticName(const char* name) {
    for (const char* a : kAutomaticNames)
        if (std::strcmp(name, a) == 0) return true;
    return false;
}

void trimName(ShaderUniform& u) { u.setName(trimRight(u.name, kAnnotationChars).c_str()); }

// A range annotation such as /*0.0_10.0*/: the last non-empty piece is the
// maximum, the nearest non-empty piece before it the minimum; the values
// start half-way between.
void readAnnotation(ShaderUniform& u, const std::string& word) {
    std::vector<std::string> pieces = splitString(word, "/*_");
    if (pieces.size() <= 2) return;
    size_t maxIndex = 1;
    for (size_t i = pieces.size() - 1; i >= 1; --i)
        if (!pieces[i].empty()) {
            maxIndex = i;
            break;
        }
    size_t minIndex = 0;
    for (size_t i = maxIndex; i-- > 0;)
        if (!pieces[i].empty()) {
            minIndex = i;
            break;
        }
    u.maximum = static_cast<float>(std::atof(pieces[maxIndex].c_str()));
    u.minimum = static_cast<float>(std::atof(pieces[minIndex].c_str()));
    if (std::isinf(u.maximum) && u.maximum > 0)
        stmMsg("Parsing uniform maximum resulted in HUGE_VAL for uniform name: %.500s", u.name);
    if (std::isinf(u.minimum) && u.minimum > 0)
        stmMsg("Parsing uniform minimum resulted in HUGE_VAL for uniform name: %.500s", u.name);
    const float middle = u.minimum + (u.maximum - u.minimum) * 0.5f;
    for (unsigned int i = 0; i < 4; ++i) u.values.set(static_cast<int>(i), middle);
}

// Logs the driver's info log of a shader object or program, one line of it
// per log line, each as "name, text", and adds those lines to `collected`.
void printInfoLog(GLhandleARB handle, const char* name, std::string& collected) {
    char log[1024];
    GLsizei length = 0;
    if (glIsShader(handle))
        glGetShaderInfoLog(handle, sizeof log, &length, log);
    else
        glGetProgramInfoLog(handle, sizeof log, &length, log);
    std::string text(log, static_cast<size_t>(length > 0 ? length : 0));
    for (const std::string& line : splitString(text, "\n"))
        if (!line.empty()) {
            stmMsg("%s, %s\n", name, line.c_str());
            collected += line + "\n";
        }
}

// The compile or link status of a shader object or program; a failure is
// logged naming the stage.
bool succeeded(GLhandleARB handle, GLenum status, const char* name, const char* stage, std::string& collected) {
    GLint ok = 0;
    glGetObjectParameterivARB(handle, status, &ok);
    if (!ok) {
        stmMsg("ERROR: shader \"%s\": the %s failed; the shader is left out\n", name, stage);
        collected += std::string("the ") + stage + " failed\n";
    }
    return ok != 0;
}

GLhandleARB compile(GLenum kind, const char* source, const char* name, std::string& collected) {
    GLhandleARB object = glCreateShaderObjectARB(kind);
    glShaderSourceARB(object, 1, &source, nullptr);
    glCompileShaderARB(object);
    printInfoLog(object, name, collected);
    return object;
}

} // namespace

ShaderUniform::ShaderUniform() {
    for (int i = 0; i < 4; ++i) values.add(0.0f);
}

ShaderUniform::~ShaderUniform() {
    std::free(name);
    std::free(textureName);
}

void ShaderUniform::setName(const char* text) {
    char* copy = strdup(text);
    std::free(name);
    name = copy;
}

Shader::~Shader() { clearUniforms(); }

void Shader::clearUniforms() {
    for (unsigned int i = 0; i < uniforms.size(); ++i) delete uniforms.get(i);
    uniforms.clear();
}

void Shader::parseUniforms(const char* source) {
    if (!source) return;
    for (const std::string& statement : splitString(source, ";")) {
        int state = 0;
        int type = ShaderUniform::OTHER;
        ShaderUniform* u = nullptr; // owned by `uniforms` once named
        for (const std::string& word : splitString(statement, " ")) {
            if (state == 0) {
                if (contains(word, "uniform") && !contains(word, "//") && !contains(word, "/*")) {
                    state = 1;
                    continue;
                }
                if (contains(word, "void")) return;
                break;
            }
            if (state == 1) {
                if (word.empty()) continue;
                type = uniformType(word);
                state = 2;
                continue;
            }
            if (state == 2) {
                if (word.empty()) continue;
                auto record = std::make_unique<ShaderUniform>();
                record->type = type;
                record->setName(word.c_str());
                if (contains(word, "/")) trimName(*record);
                record->automatic = isAutomaticName(record->name);
                if (type != ShaderUniform::SAMPLER_2D && type != ShaderUniform::SAMPLER_CUBE) {
                    record->minimum = 0.0f;
                    record->maximum = 1.0f;
                    for (int i = 0; i < componentCount(type); ++i) record->values.set(i, 1.0f);
                }
                u = record.release();
                uniforms.add(u);
                state = 3;
                // The name word itself may carry the annotation.
            }
            if (state == 3) {
                if (!contains(word, "/")) continue;
                trimName(*u);
                readAnnotation(*u, word);
                state = 4;
                continue;
            }
            break; // state 4: the rest of the statement says nothing
        }
    }
}

void Shader::init(const char* name_, const char* fragmentSource, const char* vertexSource) {
    // Kept first so a shader with missing sources still registers by name.
    name = name_ ? name_ : "";
    buildLog.clear();
    if (!fragmentSource || !vertexSource) {
        stmMsg("ERROR: couldn't init shader! fragment or vertex shader contents were missing [%s] \n", getName());
        buildLog = "the fragment or vertex text is missing\n";
        return;
    }
    parseUniforms(fragmentSource);
    parseUniforms(vertexSource);

    vertexShader = compile(GL_VERTEX_SHADER_ARB, vertexSource, getName(), buildLog);
    bool ok = succeeded(vertexShader, GL_OBJECT_COMPILE_STATUS_ARB, getName(), "vertex stage's compile", buildLog);
    fragmentShader = compile(GL_FRAGMENT_SHADER_ARB, fragmentSource, getName(), buildLog);
    ok = succeeded(fragmentShader, GL_OBJECT_COMPILE_STATUS_ARB, getName(), "fragment stage's compile", buildLog) && ok;
    program = glCreateProgramObjectARB();
    glAttachObjectARB(program, vertexShader);
    glAttachObjectARB(program, fragmentShader);
    if (ok) {
        glLinkProgramARB(program);
        printInfoLog(program, getName(), buildLog);
        ok = succeeded(program, GL_OBJECT_LINK_STATUS_ARB, getName(), "link", buildLog);
    }
    if (!ok) {
        // Left uninitialised: users draw as without the shader.
        release();
        return;
    }
    glUseProgramObjectARB(program);
    initialised = true;
}

void Shader::adopt(Shader& built) {
    release();
    clearUniforms();
    for (unsigned int i = 0; i < built.uniforms.size(); ++i) uniforms.add(built.uniforms.get(i));
    built.uniforms.clear();
    vertexShader = built.vertexShader;
    fragmentShader = built.fragmentShader;
    program = built.program;
    initialised = built.initialised;
    buildLog = built.buildLog;
    built.vertexShader = built.fragmentShader = built.program = 0;
    built.initialised = false;
}

void Shader::bind() {
    glUseProgramObjectARB(program);
    for (unsigned int i = 0; i < uniforms.size(); ++i) {
        const ShaderUniform* u = uniforms.get(i);
        if (!u->automatic) continue;
        const char* n = u->name;
        if (u->type == ShaderUniform::VEC3) {
            stm::Vector3 v;
            if (!std::strcmp(n, "camPos"))
                v = stmGetCameraPosition();
            else if (!std::strcmp(n, "camDir"))
                v = stmGetCameraDirection();
            else if (!std::strcmp(n, "camTarget"))
                v = stmGetCameraTarget();
            else if (!std::strcmp(n, "camUp"))
                v = stmGetCameraUp();
            else
                continue;
            setUniform3f(n, v.x, v.y, v.z);
        } else if (u->type == ShaderUniform::FLOAT) {
            float f;
            if (!std::strcmp(n, "nearPlane"))
                f = stmGetZNear();
            else if (!std::strcmp(n, "farPlane"))
                f = stmGetZFar();
            else if (!std::strcmp(n, "screenHeight"))
                f = static_cast<float>(stmGetHeight());
            else if (!std::strcmp(n, "screenWidth"))
                f = static_cast<float>(stmGetWidth());
            else if (!std::strcmp(n, "aspectRatio"))
                f = stmGetAspectRatio();
            else
                continue;
            setUniform1f(n, f);
        }
    }
}

void Shader::unbind() { glUseProgramObjectARB(0); }

int Shader::getUniformLocation(const char* uniformName) {
    int location = glGetUniformLocationARB(program, uniformName);
    if (location == -1)
        stmMsg("ERROR: can't find uniform variable '%.500s' from '%.500s'. Error code: '%d'\n", uniformName, getName(),
               static_cast<int>(glGetError()));
    return location;
}

bool Shader::setUniform1f(const char* n, float x) {
    int at = getUniformLocation(n);
    if (at == -1) return false;
    glUniform1f(at, x);
    return true;
}

bool Shader::setUniform2f(const char* n, float x, float y) {
    int at = getUniformLocation(n);
    if (at == -1) return false;
    glUniform2f(at, x, y);
    return true;
}

bool Shader::setUniform3f(const char* n, float x, float y, float z) {
    int at = getUniformLocation(n);
    if (at == -1) return false;
    glUniform3f(at, x, y, z);
    return true;
}

bool Shader::setUniform4f(const char* n, float x, float y, float z, float w) {
    int at = getUniformLocation(n);
    if (at == -1) return false;
    glUniform4f(at, x, y, z, w);
    return true;
}

bool Shader::setUniform1i(const char* n, int v) {
    int at = getUniformLocation(n);
    if (at == -1) return false;
    glUniform1i(at, v);
    return true;
}

void Shader::release() {
    glDeleteShader(vertexShader);
    glDeleteShader(fragmentShader);
    glDeleteProgram(program);
    vertexShader = fragmentShader = program = 0;
    initialised = false;
}
