// "slicesphere": a slice of the sphere in its colour, lit from above and
// darkened where other slices shadow it ("shadowMap", unit 0), softly lit
// from the camera too so the side away from the light keeps its colour, with a glossy
// reflection of the environment cube ("cube", unit 1) that brightens towards
// the rim, so the slices read as lacquered plates, and a pale rim light.
// Outputs: colour (alpha 1), eye-space normal, depth as eye distance over the
// far plane.
#include "shadowed_surface.glsl"

void main()
{
    shadedSurface();
    float fresnel = pow(1.0 - facing, 3.0);
    float diffuse = max(dot(n, l), 0.0) * lit;
    float specular = pow(max(dot(r, l), 0.0), 32.0) * lit;
    vec3 base = gl_Color.rgb;
    // A bright rim on the silhouette and on the slice edges turned away
    // keeps the sphere standing out against the haze of the sky, however
    // small it is on screen.
    float rim = pow(1.0 - facing, 4.0);
    vec3 colour = base * (0.16 + 0.3 * facing + 0.95 * diffuse)
                + environment * (0.05 + 0.4 * fresnel) * (0.6 + 0.4 * lit)
                + vec3(0.6 * specular)
                + mix(base, vec3(1.0), 0.6) * rim * 0.85;
    writeTargets(colour, n, farPlane);
}
