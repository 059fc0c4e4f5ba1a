// "growmotikka": reflective geospheres. Passes the eye-space position and
// normal and the shell colour.
varying vec3 normal;
varying vec3 eyePosition;
void main()
{
    vec4 eye = gl_ModelViewMatrix * gl_Vertex;
    eyePosition = eye.xyz;
    normal = gl_NormalMatrix * gl_Normal;
    gl_FrontColor = gl_Color;
    gl_ClipVertex = eye;
    gl_Position = ftransform();
}
