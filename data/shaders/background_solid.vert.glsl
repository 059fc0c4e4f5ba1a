// "background_solid": flat shapes in their vertex colour. Passes the
// eye-space position and normal.
varying vec3 normal;
varying vec3 eyePosition;
void main()
{
    vec4 eye = gl_ModelViewMatrix * gl_Vertex;
    eyePosition = eye.xyz;
    normal = gl_NormalMatrix * gl_Normal;
    gl_FrontColor = gl_Color;
    gl_Position = ftransform();
}
