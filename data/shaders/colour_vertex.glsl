// Vertex stage of the "background_solid" and "growprimitives" shaders: the
// eye-space position and normal, and the vertex colour.
#include "eye_vertex.glsl"
void main()
{
    passEyeSpace();
    gl_FrontColor = gl_Color;
    gl_Position = ftransform();
}
