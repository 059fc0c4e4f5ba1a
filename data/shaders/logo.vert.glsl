// "logo": the logo pieces. Passes the eye-space position and normal, the
// shadow-map coordinate (the lookup matrix sits in texture matrix 0) and the
// eye-space light direction. The light stands above and in front of the logo;
// in the mirrored pass (a modelview with negative determinant) the light is
// mirrored in the floor too, so the reflection is lit as a real mirror shows it.
#include "eye_vertex.glsl"
varying vec3 lightDirection;
varying vec4 shadowCoord;
void main()
{
    vec4 eye = passEyeSpace();
    shadowCoord = gl_TextureMatrix[0] * eye;
    vec3 light = vec3(0.2296, 0.8267, 0.5129);
    vec3 floorNormal = vec3(0.0, 0.9762, 0.2169);
    mat3 m = mat3(gl_ModelViewMatrix[0].xyz, gl_ModelViewMatrix[1].xyz, gl_ModelViewMatrix[2].xyz);
    if (dot(cross(m[0], m[1]), m[2]) < 0.0)
        light = reflect(light, floorNormal);
    lightDirection = light;
    gl_FrontColor = gl_Color;
    gl_ClipVertex = eye;
    gl_Position = ftransform();
}
