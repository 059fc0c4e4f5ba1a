// "grow_flower": the flower tubes. Each vertex moves out along its normal with
// the music, "analyzer" (the loudness peak, about 0..3) times a slow swell
// that runs up the tubes as "pos" (the effect's position 0..1) advances, so
// the tubes breathe. Passes the eye-space position and normal and the vein
// texture coordinate (the world x, y the tube was built with).
varying vec3 normal;
varying vec3 eyePosition;
uniform float analyzer /*0.0_3.0*/;
uniform float pos /*0.0_1.0*/;
void main()
{
    float swell = 0.5 + 0.5 * sin(pos * 90.0 - gl_Vertex.z * 0.9);
    vec4 vertex = vec4(gl_Vertex.xyz + gl_Normal * (0.012 * analyzer * swell), 1.0);
    vec4 eye = gl_ModelViewMatrix * vertex;
    eyePosition = eye.xyz;
    normal = gl_NormalMatrix * gl_Normal;
    gl_TexCoord[0] = gl_MultiTexCoord0 * 2.0;
    gl_FrontColor = gl_Color;
    gl_ClipVertex = eye;
    gl_Position = gl_ProjectionMatrix * eye;
}
