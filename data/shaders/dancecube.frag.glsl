#version 120
// "dancecube": glossy lacquer. The vertex colour lit by the directional light
// and a fill from the opposite side (light 0 sits behind the cubes, so the
// fill lights the faces the camera sees), highlights of both, and the cube-map
// environment reflected in it, strongest at grazing angles and tinted by the
// colour so pink tiles stay pink.
// Outputs: colour (alpha 1), eye-space normal as n * 0.5 + 0.5, and the eye
// distance over the far plane (200) packed into 24 bits of rgb for the
// occlusion pass.
uniform samplerCube cube;
varying vec3 normal;
varying vec3 eyePosition;
varying vec3 lightDirection;

#include "depth_pack.glsl"

const float kFarPlane = 200.0;

void main()
{
    vec3 n = normalize(normal);
    if (!gl_FrontFacing)
        n = -n;
    vec3 v = normalize(-eyePosition);
    vec3 l = normalize(lightDirection);
    vec3 r = reflect(-v, n);
    float facing = max(dot(n, v), 0.0);
    float fresnel = 0.08 + 0.92 * pow(1.0 - facing, 4.0);
    float diffuse = max(dot(n, l), 0.0);
    float fill = max(dot(n, -l), 0.0);
    float specular = pow(max(dot(r, l), 0.0), 64.0) + 0.7 * pow(max(dot(r, -l), 0.0), 40.0);
    vec3 base = gl_Color.rgb;
    vec3 environment = textureCube(cube, r).rgb;
    vec3 colour = base * (0.35 + 0.5 * diffuse + 0.55 * fill)
                + environment * mix(base, vec3(1.0), 0.4) * (0.25 + 0.75 * fresnel)
                + vec3(0.8 * specular);
    gl_FragData[0] = vec4(colour, 1.0);
    gl_FragData[1] = vec4(n * 0.5 + 0.5, 1.0);
    gl_FragData[2] = vec4(packDepth(clamp(length(eyePosition) / kFarPlane, 0.0, 0.999)), 1.0);
}
