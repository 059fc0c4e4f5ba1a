// "growmotikka": reflective geospheres. Passes the eye-space position and
// normal and the shell colour.
#include "eye_vertex.glsl"
void main()
{
    vec4 eye = passEyeSpace();
    gl_FrontColor = gl_Color;
    gl_ClipVertex = eye;
    gl_Position = ftransform();
}
