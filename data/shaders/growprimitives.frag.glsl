// "growprimitives": bright glossy plastic in the object's colour. Wrapped
// diffuse light from above and behind the camera, a tight white highlight,
// and the cube map "cube" reflected strongly at grazing angles. The music
// level "syncDefault" (about 0..3) lifts the colour on loud beats.
// Outputs: colour (alpha 1), eye-space normal as n * 0.5 + 0.5, and depth as
// eye distance over the far plane, the scale the occlusion and
// depth-of-field passes read.
#include "two_sided_surface.glsl"
uniform float syncDefault /*0.0_3.0*/;
void main()
{
    twoSidedSurface();
    vec3 l = normalize(vec3(-0.35, 0.8, 0.5));
    float fresnel = pow(1.0 - facing, 3.0);
    float diffuse = max(dot(n, l), 0.0) * 0.75 + 0.25;
    float specular = pow(max(dot(r, l), 0.0), 40.0);
    vec3 base = gl_Color.rgb * (1.0 + 0.12 * syncDefault);
    vec3 colour = base * (0.3 + 0.85 * diffuse)
                + environment * (0.12 + 0.6 * fresnel)
                + vec3(0.8 * specular);
    writeTargets(colour, n, farPlane);
}
