#version 120
// "doors": the leaves of the revolving door. Passes the picture coordinate,
// how far along the leaf the vertex lies (0 at the axis, 1 at the outer
// edge) and how squarely the leaf faces the camera.
varying float across;
varying float facing;
void main()
{
    gl_TexCoord[0] = gl_MultiTexCoord0;
    across = gl_Vertex.x;
    facing = abs(normalize(gl_NormalMatrix * vec3(0.0, 0.0, 1.0)).z);
    gl_FrontColor = gl_Color;
    gl_Position = ftransform();
}
