// Vertex stages of the lit scene shaders: the eye-space position and normal
// their fragment stages (eye_fragment.glsl) light with.
varying vec3 normal;
varying vec3 eyePosition;

// Sets eyePosition and normal for this vertex and returns its eye-space
// position (for shadow-map coordinates and gl_ClipVertex).
vec4 passEyeSpace()
{
    vec4 eye = gl_ModelViewMatrix * gl_Vertex;
    eyePosition = eye.xyz;
    normal = gl_NormalMatrix * gl_Normal;
    return eye;
}
