// "background_flare": soft additive sprites (splats, flares, dust). Passes the
// texture coordinate, the colour and the linear depth of the sprite.
varying float depth;
uniform float farPlane;
void main()
{
    vec4 eye = gl_ModelViewMatrix * gl_Vertex;
    depth = length(eye.xyz) / farPlane;
    gl_TexCoord[0] = gl_MultiTexCoord0;
    gl_FrontColor = gl_Color;
    gl_ClipVertex = eye;
    gl_Position = ftransform();
}
