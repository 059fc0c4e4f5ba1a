// Vertex stage of the "plates", "plates_texture" and "plates2" shaders:
// eye-space position and normal, the texture coordinate of unit 0, and the
// shadow-map coordinate through the lookup matrix in texture matrix 0.
#include "eye_vertex.glsl"
varying vec4 shadowCoord;
varying vec2 uv;
void main()
{
    vec4 eye = passEyeSpace();
    shadowCoord = gl_TextureMatrix[0] * eye;
    uv = gl_MultiTexCoord0.st;
    gl_FrontColor = gl_Color;
    gl_Position = ftransform();
}
