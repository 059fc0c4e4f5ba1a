// "grow_flower": thin glossy violet tubes. The colour (violet, faded in by the
// effect) is veined by "tex" ("flower.jpg", unit 0) and lit from above the
// camera with a sharp highlight; the environment cube ("cube", unit 1)
// mirrors in them, strongest at the rim. Louder music ("analyzer") makes
// the veins glow. Tubes are thin, so both sides are lit alike.
// Outputs: colour (alpha 1), eye-space normal, depth as eye distance over
// the far plane.
#include "two_sided_surface.glsl"
uniform sampler2D tex;
uniform float analyzer /*0.0_3.0*/;
void main()
{
    twoSidedSurface();
    vec3 l = normalize(vec3(0.2, 0.9, 0.4));
    float fresnel = pow(1.0 - facing, 2.0);
    vec3 veins = texture2D(tex, gl_TexCoord[0].st).rgb;
    float vein = 1.0 - dot(veins, vec3(0.333));
    float diffuse = 0.35 + 0.65 * max(dot(n, l), 0.0);
    float specular = pow(max(dot(r, l), 0.0), 60.0);
    vec3 base = gl_Color.rgb * veins * 2.2;
    float glow = clamp(analyzer / 3.0, 0.0, 1.0) * vein;
    vec3 colour = base * diffuse
                + environment * gl_Color.rgb * (0.6 + 1.6 * fresnel)
                + vec3(0.8 * specular) * min(gl_Color.r / 0.365, 1.0)
                + gl_Color.rgb * glow * 2.5;
    writeTargets(colour, n, farPlane);
}
