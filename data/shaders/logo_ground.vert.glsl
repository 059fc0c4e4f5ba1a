// "logo_ground": the mirroring floor under the logo, drawn over the mirrored
// image. Passes the floor point, its eye-space position and its shadow-map
// coordinate (the lookup matrix sits in texture matrix 0).
varying vec3 floorPosition;
varying vec3 eyePosition;
varying vec4 shadowCoord;
void main()
{
    vec4 eye = gl_ModelViewMatrix * gl_Vertex;
    floorPosition = gl_Vertex.xyz;
    eyePosition = eye.xyz;
    shadowCoord = gl_TextureMatrix[0] * eye;
    gl_FrontColor = gl_Color;
    gl_ClipVertex = eye;
    gl_Position = ftransform();
}
