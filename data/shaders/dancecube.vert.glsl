#version 120
// "dancecube": the cubes and their tiles. Passes the eye-space position and
// normal and the light's eye-space direction (light 0 is directional).
varying vec3 normal;
varying vec3 eyePosition;
varying vec3 lightDirection;
void main()
{
    vec4 eye = gl_ModelViewMatrix * gl_Vertex;
    eyePosition = eye.xyz;
    normal = gl_NormalMatrix * gl_Normal;
    lightDirection = normalize(gl_LightSource[0].position.xyz);
    gl_FrontColor = gl_Color;
    gl_Position = ftransform();
}
