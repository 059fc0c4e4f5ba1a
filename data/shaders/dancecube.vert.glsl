#version 120
// "dancecube": the cubes and their tiles. Passes the eye-space position and
// normal and the light's eye-space direction (light 0 is directional).
#include "eye_vertex.glsl"
varying vec3 lightDirection;
void main()
{
    passEyeSpace();
    lightDirection = normalize(gl_LightSource[0].position.xyz);
    gl_FrontColor = gl_Color;
    gl_Position = ftransform();
}
