// The texture set-up that render targets and cube maps share.
#pragma once

#include "render/GLExtensions.h"

// Generates a texture name for target (GL_TEXTURE_2D or GL_TEXTURE_CUBE_MAP)
// into name, binds it, sets both filters to filter and S and T wrapping to
// GL_CLAMP_TO_EDGE. Uploading images is the caller's. Leaves it bound.
void createClampedTexture(GLenum target, GLuint& name, GLint filter);
