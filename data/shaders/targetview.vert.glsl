#version 120
// "targetview" vertex stage: a full-screen quad passing texture coordinate set 0.
varying vec2 uv;
void main()
{
    uv = gl_MultiTexCoord0.st;
    gl_Position = ftransform();
}
