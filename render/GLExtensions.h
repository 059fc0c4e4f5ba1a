// The process-wide table of OpenGL entry points beyond 1.1: multitexture,
// buffer objects, framebuffer objects and the GLSL shader group.
//
// Each entry point is a variable in namespace zgl, and after <GL/gl.h> and
// <GL/glext.h> this header #defines the plain name to it, so code calls
// glActiveTextureARB(...) exactly as OpenGL names it without clashing with
// the symbols libGL itself exports. Include this header instead of <GL/gl.h>.
//
// RenderTargets::init fills the table group by group with its capability
// checks; tests and tools that need GL without the render targets call
// loadGLExtensions(). Until filled every entry is null.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

// The groups, in fetch order, as X(type, name) lists.
#define ZGL_MULTITEXTURE(X) \
    X(PFNGLACTIVETEXTUREARBPROC, glActiveTextureARB) \
    X(PFNGLMULTITEXCOORD2FARBPROC, glMultiTexCoord2fARB) \
    X(PFNGLMULTITEXCOORD4FARBPROC, glMultiTexCoord4fARB)

#define ZGL_BUFFER_OBJECTS(X) \
    X(PFNGLGENBUFFERSARBPROC, glGenBuffersARB) \
    X(PFNGLBINDBUFFERARBPROC, glBindBufferARB) \
    X(PFNGLBUFFERDATAARBPROC, glBufferDataARB) \
    X(PFNGLDELETEBUFFERSARBPROC, glDeleteBuffersARB)

#define ZGL_FRAMEBUFFER_OBJECTS(X) \
    X(PFNGLISRENDERBUFFEREXTPROC, glIsRenderbufferEXT) \
    X(PFNGLBINDRENDERBUFFEREXTPROC, glBindRenderbufferEXT) \
    X(PFNGLDELETERENDERBUFFERSEXTPROC, glDeleteRenderbuffersEXT) \
    X(PFNGLGENRENDERBUFFERSEXTPROC, glGenRenderbuffersEXT) \
    X(PFNGLRENDERBUFFERSTORAGEEXTPROC, glRenderbufferStorageEXT) \
    X(PFNGLGETRENDERBUFFERPARAMETERIVEXTPROC, glGetRenderbufferParameterivEXT) \
    X(PFNGLISFRAMEBUFFEREXTPROC, glIsFramebufferEXT) \
    X(PFNGLBINDFRAMEBUFFEREXTPROC, glBindFramebufferEXT) \
    X(PFNGLDELETEFRAMEBUFFERSEXTPROC, glDeleteFramebuffersEXT) \
    X(PFNGLGENFRAMEBUFFERSEXTPROC, glGenFramebuffersEXT) \
    X(PFNGLCHECKFRAMEBUFFERSTATUSEXTPROC, glCheckFramebufferStatusEXT) \
    X(PFNGLFRAMEBUFFERTEXTURE1DEXTPROC, glFramebufferTexture1DEXT) \
    X(PFNGLFRAMEBUFFERTEXTURE2DEXTPROC, glFramebufferTexture2DEXT) \
    X(PFNGLFRAMEBUFFERTEXTURE3DEXTPROC, glFramebufferTexture3DEXT) \
    X(PFNGLFRAMEBUFFERRENDERBUFFEREXTPROC, glFramebufferRenderbufferEXT) \
    X(PFNGLGETFRAMEBUFFERATTACHMENTPARAMETERIVEXTPROC, glGetFramebufferAttachmentParameterivEXT) \
    X(PFNGLGENERATEMIPMAPEXTPROC, glGenerateMipmapEXT)

#define ZGL_SHADERS(X) \
    X(PFNGLCREATEPROGRAMOBJECTARBPROC, glCreateProgramObjectARB) \
    X(PFNGLDELETEOBJECTARBPROC, glDeleteObjectARB) \
    X(PFNGLCREATESHADEROBJECTARBPROC, glCreateShaderObjectARB) \
    X(PFNGLSHADERSOURCEARBPROC, glShaderSourceARB) \
    X(PFNGLCOMPILESHADERARBPROC, glCompileShaderARB) \
    X(PFNGLGETOBJECTPARAMETERIVARBPROC, glGetObjectParameterivARB) \
    X(PFNGLATTACHOBJECTARBPROC, glAttachObjectARB) \
    X(PFNGLGETINFOLOGARBPROC, glGetInfoLogARB) \
    X(PFNGLLINKPROGRAMARBPROC, glLinkProgramARB) \
    X(PFNGLUSEPROGRAMOBJECTARBPROC, glUseProgramObjectARB) \
    X(PFNGLGETUNIFORMLOCATIONARBPROC, glGetUniformLocationARB) \
    X(PFNGLDELETEPROGRAMPROC, glDeleteProgram) \
    X(PFNGLDELETESHADERPROC, glDeleteShader) \
    X(PFNGLISPROGRAMPROC, glIsProgram) \
    X(PFNGLISSHADERPROC, glIsShader) \
    X(PFNGLGETPROGRAMINFOLOGPROC, glGetProgramInfoLog) \
    X(PFNGLGETSHADERINFOLOGPROC, glGetShaderInfoLog) \
    X(PFNGLUNIFORM4FPROC, glUniform4f) \
    X(PFNGLUNIFORM3FPROC, glUniform3f) \
    X(PFNGLUNIFORM2FPROC, glUniform2f) \
    X(PFNGLUNIFORM1FPROC, glUniform1f) \
    X(PFNGLGETUNIFORMFVARBPROC, glGetUniformfvARB) \
    X(PFNGLGETUNIFORMIVARBPROC, glGetUniformivARB) \
    X(PFNGLUNIFORM1IPROC, glUniform1i) \
    X(PFNGLUNIFORM2IPROC, glUniform2i) \
    X(PFNGLUNIFORM3IPROC, glUniform3i) \
    X(PFNGLUNIFORM4IPROC, glUniform4i) \
    X(PFNGLUNIFORM1FVPROC, glUniform1fv) \
    X(PFNGLUNIFORM2FVPROC, glUniform2fv) \
    X(PFNGLUNIFORM3FVPROC, glUniform3fv) \
    X(PFNGLUNIFORM4FVPROC, glUniform4fv) \
    X(PFNGLUNIFORM1IVPROC, glUniform1iv) \
    X(PFNGLUNIFORM2IVPROC, glUniform2iv) \
    X(PFNGLUNIFORM3IVPROC, glUniform3iv) \
    X(PFNGLUNIFORM4IVPROC, glUniform4iv) \
    X(PFNGLUNIFORMMATRIX2FVPROC, glUniformMatrix2fv) \
    X(PFNGLUNIFORMMATRIX3FVPROC, glUniformMatrix3fv) \
    X(PFNGLUNIFORMMATRIX4FVPROC, glUniformMatrix4fv) \
    X(PFNGLVALIDATEPROGRAMPROC, glValidateProgram) \
    X(PFNGLVERTEXATTRIB1DPROC, glVertexAttrib1d) \
    X(PFNGLVERTEXATTRIB1DVPROC, glVertexAttrib1dv) \
    X(PFNGLVERTEXATTRIB1FPROC, glVertexAttrib1f) \
    X(PFNGLVERTEXATTRIB1FVPROC, glVertexAttrib1fv) \
    X(PFNGLVERTEXATTRIB1SPROC, glVertexAttrib1s) \
    X(PFNGLVERTEXATTRIB1SVPROC, glVertexAttrib1sv) \
    X(PFNGLVERTEXATTRIB2DPROC, glVertexAttrib2d) \
    X(PFNGLVERTEXATTRIB2DVPROC, glVertexAttrib2dv) \
    X(PFNGLVERTEXATTRIB2FPROC, glVertexAttrib2f) \
    X(PFNGLVERTEXATTRIB2FVPROC, glVertexAttrib2fv) \
    X(PFNGLVERTEXATTRIB2SPROC, glVertexAttrib2s) \
    X(PFNGLVERTEXATTRIB2SVPROC, glVertexAttrib2sv) \
    X(PFNGLVERTEXATTRIB3DPROC, glVertexAttrib3d) \
    X(PFNGLVERTEXATTRIB3DVPROC, glVertexAttrib3dv) \
    X(PFNGLVERTEXATTRIB3FPROC, glVertexAttrib3f) \
    X(PFNGLVERTEXATTRIB3FVPROC, glVertexAttrib3fv) \
    X(PFNGLVERTEXATTRIB3SPROC, glVertexAttrib3s) \
    X(PFNGLVERTEXATTRIB3SVPROC, glVertexAttrib3sv) \
    X(PFNGLVERTEXATTRIB4NBVPROC, glVertexAttrib4Nbv) \
    X(PFNGLVERTEXATTRIB4NIVPROC, glVertexAttrib4Niv) \
    X(PFNGLVERTEXATTRIB4NSVPROC, glVertexAttrib4Nsv) \
    X(PFNGLVERTEXATTRIB4NUBPROC, glVertexAttrib4Nub) \
    X(PFNGLVERTEXATTRIB4NUBVPROC, glVertexAttrib4Nubv) \
    X(PFNGLVERTEXATTRIB4NUIVPROC, glVertexAttrib4Nuiv) \
    X(PFNGLVERTEXATTRIB4NUSVPROC, glVertexAttrib4Nusv) \
    X(PFNGLVERTEXATTRIB4BVPROC, glVertexAttrib4bv) \
    X(PFNGLVERTEXATTRIB4DPROC, glVertexAttrib4d) \
    X(PFNGLVERTEXATTRIB4DVPROC, glVertexAttrib4dv) \
    X(PFNGLVERTEXATTRIB4FPROC, glVertexAttrib4f) \
    X(PFNGLVERTEXATTRIB4FVPROC, glVertexAttrib4fv) \
    X(PFNGLVERTEXATTRIB4IVPROC, glVertexAttrib4iv) \
    X(PFNGLDRAWBUFFERSPROC, glDrawBuffers) \
    X(PFNGLVERTEXATTRIBPOINTERPROC, glVertexAttribPointer)

namespace zgl {
#define ZGL_DECLARE(type, name) extern type name;
ZGL_MULTITEXTURE(ZGL_DECLARE)
ZGL_BUFFER_OBJECTS(ZGL_DECLARE)
ZGL_FRAMEBUFFER_OBJECTS(ZGL_DECLARE)
ZGL_SHADERS(ZGL_DECLARE)
#undef ZGL_DECLARE
} // namespace zgl

enum GLExtensionGroup {
    GL_GROUP_MULTITEXTURE,
    GL_GROUP_BUFFER_OBJECTS,
    GL_GROUP_FRAMEBUFFER_OBJECTS,
    GL_GROUP_SHADERS,
};

// Fetches every entry point of one group through stmGetProcAddress under its
// exact name; true when none of them came back null.
bool loadGLExtensionGroup(GLExtensionGroup group);

// Fills the whole table (all four groups); true when every entry point was
// found. Logs the name of each one that is missing.
bool loadGLExtensions();

// The extension test of the capability checks: `name` occurs anywhere in
// `extensions` as a plain substring. A null string has no extensions.
bool hasGLExtension(const char* extensions, const char* name);

#define glActiveTextureARB zgl::glActiveTextureARB
#define glMultiTexCoord2fARB zgl::glMultiTexCoord2fARB
#define glMultiTexCoord4fARB zgl::glMultiTexCoord4fARB
#define glGenBuffersARB zgl::glGenBuffersARB
#define glBindBufferARB zgl::glBindBufferARB
#define glBufferDataARB zgl::glBufferDataARB
#define glDeleteBuffersARB zgl::glDeleteBuffersARB
#define glIsRenderbufferEXT zgl::glIsRenderbufferEXT
#define glBindRenderbufferEXT zgl::glBindRenderbufferEXT
#define glDeleteRenderbuffersEXT zgl::glDeleteRenderbuffersEXT
#define glGenRenderbuffersEXT zgl::glGenRenderbuffersEXT
#define glRenderbufferStorageEXT zgl::glRenderbufferStorageEXT
#define glGetRenderbufferParameterivEXT zgl::glGetRenderbufferParameterivEXT
#define glIsFramebufferEXT zgl::glIsFramebufferEXT
#define glBindFramebufferEXT zgl::glBindFramebufferEXT
#define glDeleteFramebuffersEXT zgl::glDeleteFramebuffersEXT
#define glGenFramebuffersEXT zgl::glGenFramebuffersEXT
#define glCheckFramebufferStatusEXT zgl::glCheckFramebufferStatusEXT
#define glFramebufferTexture1DEXT zgl::glFramebufferTexture1DEXT
#define glFramebufferTexture2DEXT zgl::glFramebufferTexture2DEXT
#define glFramebufferTexture3DEXT zgl::glFramebufferTexture3DEXT
#define glFramebufferRenderbufferEXT zgl::glFramebufferRenderbufferEXT
#define glGetFramebufferAttachmentParameterivEXT zgl::glGetFramebufferAttachmentParameterivEXT
#define glGenerateMipmapEXT zgl::glGenerateMipmapEXT
#define glCreateProgramObjectARB zgl::glCreateProgramObjectARB
#define glDeleteObjectARB zgl::glDeleteObjectARB
#define glCreateShaderObjectARB zgl::glCreateShaderObjectARB
#define glShaderSourceARB zgl::glShaderSourceARB
#define glCompileShaderARB zgl::glCompileShaderARB
#define glGetObjectParameterivARB zgl::glGetObjectParameterivARB
#define glAttachObjectARB zgl::glAttachObjectARB
#define glGetInfoLogARB zgl::glGetInfoLogARB
#define glLinkProgramARB zgl::glLinkProgramARB
#define glUseProgramObjectARB zgl::glUseProgramObjectARB
#define glGetUniformLocationARB zgl::glGetUniformLocationARB
#define glDeleteProgram zgl::glDeleteProgram
#define glDeleteShader zgl::glDeleteShader
#define glIsProgram zgl::glIsProgram
#define glIsShader zgl::glIsShader
#define glGetProgramInfoLog zgl::glGetProgramInfoLog
#define glGetShaderInfoLog zgl::glGetShaderInfoLog
#define glUniform4f zgl::glUniform4f
#define glUniform3f zgl::glUniform3f
#define glUniform2f zgl::glUniform2f
#define glUniform1f zgl::glUniform1f
#define glGetUniformfvARB zgl::glGetUniformfvARB
#define glGetUniformivARB zgl::glGetUniformivARB
#define glUniform1i zgl::glUniform1i
#define glUniform2i zgl::glUniform2i
#define glUniform3i zgl::glUniform3i
#define glUniform4i zgl::glUniform4i
#define glUniform1fv zgl::glUniform1fv
#define glUniform2fv zgl::glUniform2fv
#define glUniform3fv zgl::glUniform3fv
#define glUniform4fv zgl::glUniform4fv
#define glUniform1iv zgl::glUniform1iv
#define glUniform2iv zgl::glUniform2iv
#define glUniform3iv zgl::glUniform3iv
#define glUniform4iv zgl::glUniform4iv
#define glUniformMatrix2fv zgl::glUniformMatrix2fv
#define glUniformMatrix3fv zgl::glUniformMatrix3fv
#define glUniformMatrix4fv zgl::glUniformMatrix4fv
#define glValidateProgram zgl::glValidateProgram
#define glVertexAttrib1d zgl::glVertexAttrib1d
#define glVertexAttrib1dv zgl::glVertexAttrib1dv
#define glVertexAttrib1f zgl::glVertexAttrib1f
#define glVertexAttrib1fv zgl::glVertexAttrib1fv
#define glVertexAttrib1s zgl::glVertexAttrib1s
#define glVertexAttrib1sv zgl::glVertexAttrib1sv
#define glVertexAttrib2d zgl::glVertexAttrib2d
#define glVertexAttrib2dv zgl::glVertexAttrib2dv
#define glVertexAttrib2f zgl::glVertexAttrib2f
#define glVertexAttrib2fv zgl::glVertexAttrib2fv
#define glVertexAttrib2s zgl::glVertexAttrib2s
#define glVertexAttrib2sv zgl::glVertexAttrib2sv
#define glVertexAttrib3d zgl::glVertexAttrib3d
#define glVertexAttrib3dv zgl::glVertexAttrib3dv
#define glVertexAttrib3f zgl::glVertexAttrib3f
#define glVertexAttrib3fv zgl::glVertexAttrib3fv
#define glVertexAttrib3s zgl::glVertexAttrib3s
#define glVertexAttrib3sv zgl::glVertexAttrib3sv
#define glVertexAttrib4Nbv zgl::glVertexAttrib4Nbv
#define glVertexAttrib4Niv zgl::glVertexAttrib4Niv
#define glVertexAttrib4Nsv zgl::glVertexAttrib4Nsv
#define glVertexAttrib4Nub zgl::glVertexAttrib4Nub
#define glVertexAttrib4Nubv zgl::glVertexAttrib4Nubv
#define glVertexAttrib4Nuiv zgl::glVertexAttrib4Nuiv
#define glVertexAttrib4Nusv zgl::glVertexAttrib4Nusv
#define glVertexAttrib4bv zgl::glVertexAttrib4bv
#define glVertexAttrib4d zgl::glVertexAttrib4d
#define glVertexAttrib4dv zgl::glVertexAttrib4dv
#define glVertexAttrib4f zgl::glVertexAttrib4f
#define glVertexAttrib4fv zgl::glVertexAttrib4fv
#define glVertexAttrib4iv zgl::glVertexAttrib4iv
#define glDrawBuffers zgl::glDrawBuffers
#define glVertexAttribPointer zgl::glVertexAttribPointer
