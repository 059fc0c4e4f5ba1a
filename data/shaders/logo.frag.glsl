// "logo": the logo's material, a lacquered green. Diffuse light from the
// fixed light, darkened where the shadow map says it is blocked; a Blinn
// highlight with a broad sheen under it; a reflection of the environment cube
// map, tinted by the lacquer head-on and turning white towards grazing
// angles. "time" (1 - position) drives the light as the pieces land: a rim
// glow while they fly, then a band of white light sweeping across the word
// from left to right as the last pieces settle.
// Outputs: colour (alpha 1), eye-space normal, and depth as eye distance over
// twice the far plane: the Logo's depth of field focuses at 0.2266 of that
// scale, which is where the logo stands, about 9 units from the camera.
#include "shadowed_surface.glsl"
uniform float time /*0.0_1.0*/;

void main()
{
    shadedSurface();
    float fresnel = 0.04 + 0.96 * pow(1.0 - facing, 5.0);
    vec3 h = normalize(l + v);
    float diffuse = max(dot(n, l), 0.0) * lit;
    float highlight = pow(max(dot(n, h), 0.0), 90.0) * 1.4 + pow(max(dot(n, h), 0.0), 12.0) * 0.12;
    vec3 base = gl_Color.rgb;
    // The sweep: a slanted band moving from x = -14 to 14 while time falls
    // from 0.55 to 0.05, brightest on surfaces that face the camera.
    float sweepAt = mix(-14.0, 14.0, clamp((0.55 - time) / 0.5, 0.0, 1.0));
    float band = exp(-pow((eyePosition.x + 0.45 * eyePosition.y - sweepAt) / 1.1, 2.0));
    float sweep = band * smoothstep(0.0, 0.06, time) * (0.35 + 0.65 * facing);
    float glow = time * time * (0.3 + 0.7 * fresnel);
    vec3 colour = base * (0.15 + 0.75 * diffuse)
                + environment * mix(base * 1.5, vec3(0.85), 0.7 * fresnel) * (0.45 + 0.35 * fresnel) * (0.6 + 0.4 * lit)
                + vec3(highlight * lit)
                + vec3(0.85, 1.0, 0.75) * (1.6 * sweep)
                + base * (1.2 * glow);
    writeTargets(colour, n, 2.0 * farPlane);
}
