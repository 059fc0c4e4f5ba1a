// Shading shared by the surfaces of Plates and Plates2 (the "plates",
// "plates_texture" and "plates2" shaders, with plates_vertex.glsl as their
// vertex stage). Light falls from high above, as from the circling light
// whose shadow map sits on unit 0; surfaces are lit from whichever side faces
// the eye, since walls and end caps carry normals of either sense.
// Outputs: colour (alpha 1), eye-space normal as n * 0.5 + 0.5, and the eye
// distance over the far plane packed over rgb, which the occlusion and
// depth-of-field passes read.
#include "shadow_lookup.glsl"
uniform float farPlane;
varying vec3 normal;
varying vec3 eyePosition;
varying vec4 shadowCoord;
varying vec2 uv;

void shadePlatesSurface(vec3 base)
{
    vec3 v = normalize(-eyePosition);
    vec3 n = faceforward(normalize(normal), -v, normalize(normal));
    vec3 l = normalize(gl_NormalMatrix * vec3(0.2, 1.0, 0.15));
    float lit = lightVisibility(shadowCoord);
    float diffuse = max(dot(n, l), 0.0) * lit;
    float specular = pow(max(dot(reflect(-l, n), v), 0.0), 24.0) * lit;
    vec3 colour = base * (0.42 + 0.7 * diffuse) + vec3(0.18 * specular);
    gl_FragData[0] = vec4(colour, 1.0);
    gl_FragData[1] = vec4(n * 0.5 + 0.5, 1.0);
    gl_FragData[2] = vec4(packDepth(length(eyePosition) / farPlane), 1.0);
}
