#version 120
// "doors": the leaves of the revolving door. Passes the picture coordinate,
// how far along the leaf the vertex lies (0 at the axis, 1 at the outer
// edge), the leaf's eye-space normal and the eye-space position, from which
// the fragment stage tells how squarely the leaf faces the eye.
varying float across;
varying vec3 leafNormal;
varying vec3 eyePosition;
void main()
{
    gl_TexCoord[0] = gl_MultiTexCoord0;
    across = gl_Vertex.x;
    leafNormal = gl_NormalMatrix * vec3(0.0, 0.0, 1.0);
    eyePosition = (gl_ModelViewMatrix * gl_Vertex).xyz;
    gl_FrontColor = gl_Color;
    gl_Position = ftransform();
}
