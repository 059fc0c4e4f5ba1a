// "growprimitives": bright glossy plastic in the object's colour. Wrapped
// diffuse light from above and behind the camera, a tight white highlight,
// and the cube map "cube" reflected strongly at grazing angles. The music
// level "syncDefault" (about 0..3) lifts the colour on loud beats.
// Outputs: colour (alpha 1), eye-space normal as n * 0.5 + 0.5, and depth as
// eye distance over the far plane, the scale the occlusion and
// depth-of-field passes read.
#include "eye_fragment.glsl"
uniform samplerCube cube;
uniform float syncDefault /*0.0_3.0*/;
uniform float farPlane;
void main()
{
    vec3 n = normalize(normal);
    vec3 v = normalize(-eyePosition);
    if (dot(n, v) < 0.0)
        n = -n;
    vec3 l = normalize(vec3(-0.35, 0.8, 0.5));
    float facing = max(dot(n, v), 0.0);
    float fresnel = pow(1.0 - facing, 3.0);
    vec3 r = reflect(-v, n);
    vec3 environment = textureCube(cube, r).rgb;
    float diffuse = max(dot(n, l), 0.0) * 0.75 + 0.25;
    float specular = pow(max(dot(r, l), 0.0), 40.0);
    vec3 base = gl_Color.rgb * (1.0 + 0.12 * syncDefault);
    vec3 colour = base * (0.3 + 0.85 * diffuse)
                + environment * (0.12 + 0.6 * fresnel)
                + vec3(0.8 * specular);
    writeTargets(colour, n, farPlane);
}
