// "slicesphere": the sphere slices. Passes the eye-space position and normal,
// the slice colour, the shadow-map coordinate (the lookup matrix sits in
// texture matrix 0) and the eye-space direction towards the overhead light,
// which stands at (0, 59, 19.5) above the sphere: the slices are only scaled
// and moved, so the rotation of the modelview is the camera's.
#include "eye_vertex.glsl"
varying vec3 lightDirection;
varying vec4 shadowCoord;
void main()
{
    vec4 eye = passEyeSpace();
    shadowCoord = gl_TextureMatrix[0] * eye;
    lightDirection = (gl_ModelViewMatrix * vec4(0.0, 0.9494, 0.3138, 0.0)).xyz;
    gl_FrontColor = gl_Color;
    gl_ClipVertex = eye;
    gl_Position = ftransform();
}
