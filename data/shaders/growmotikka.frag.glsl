// "growmotikka": glossy spheres in their shell colour that mirror the
// environment cube ("cube", unit 0). A soft light from above the camera
// shades them; the reflection grows towards the rim. The music shows in the
// spheres: "analyzer" (the loudness peak, about 0..3) lights a rim glow in
// the shell colour, "syncDefault" (the same kind of level) brightens the
// reflection on loud beats, and "sync", 0 until the effect's last moments,
// flashes light onto the spheres as it ends.
// Outputs: colour (alpha 1), eye-space normal, depth as eye distance over
// the far plane.
#include "eye_fragment.glsl"
uniform samplerCube cube;
uniform float analyzer /*0.0_3.0*/;
uniform float sync /*0.0_0.1*/;
uniform float syncDefault /*0.0_3.0*/;
uniform float farPlane;
void main()
{
    vec3 n = normalize(normal);
    vec3 v = normalize(-eyePosition);
    vec3 l = normalize(vec3(0.3, 0.8, 0.5));
    float facing = max(dot(n, v), 0.0);
    float fresnel = pow(1.0 - facing, 2.5);
    vec3 r = reflect(-v, n);
    vec3 environment = textureCube(cube, r).rgb;
    float diffuse = max(dot(n, l), 0.0);
    float specular = pow(max(dot(r, l), 0.0), 40.0);
    vec3 base = gl_Color.rgb;
    float pulse = clamp(syncDefault / 3.0, 0.0, 1.0);
    float glow = clamp(analyzer / 3.0, 0.0, 1.0);
    vec3 colour = base * (0.18 + 0.75 * diffuse)
                + environment * base * (0.35 + 0.25 * pulse)
                + environment * (0.08 + 0.55 * fresnel)
                + vec3(0.6 * specular)
                + base * fresnel * 1.2 * glow;
    // The end's flash: a warm light from the eye that brightens each sphere
    // by its own shading, hottest where it faces the eye and on the rims,
    // rather than a flat wash.
    float flash = clamp(sync * 40.0, 0.0, 1.0);
    colour = colour * (1.0 + 1.2 * flash)
           + flash * vec3(1.0, 0.9, 0.8) * (0.9 * pow(facing, 6.0) + 0.7 * fresnel);
    writeTargets(colour, n, farPlane);
}
