// "logo": green logo shading. Diffuse and specular light from the fixed light,
// darkened where the shadow map says the light is blocked; a cube-map
// reflection that grows towards grazing angles; and, while the pieces are in
// flight ("time" = 1 - position, so it falls to 0 as they land), a rim glow
// that settles once the logo has assembled.
// Outputs: colour (alpha 1), eye-space normal, and depth as eye distance over
// twice the far plane: the Logo's depth of field focuses at 0.2266 of that
// scale, which is where the logo stands, about 9 units from the camera.
varying vec3 normal;
uniform samplerCube cube;
uniform float time /*0.0_1.0*/;
uniform float farPlane;
varying vec3 eyePosition;
varying vec3 lightDirection;
varying vec4 shadowCoord;
#include "shadow_lookup.glsl"

void main()
{
    vec3 n = normalize(normal);
    vec3 v = normalize(-eyePosition);
    vec3 l = normalize(lightDirection);
    float lit = lightVisibility(shadowCoord);
    float facing = max(dot(n, v), 0.0);
    float fresnel = pow(1.0 - facing, 3.0);
    vec3 r = reflect(-v, n);
    vec3 environment = textureCube(cube, r).rgb;
    float diffuse = max(dot(n, l), 0.0) * lit;
    float specular = pow(max(dot(r, l), 0.0), 48.0) * lit;
    float glow = time * time * (0.35 + 0.65 * fresnel);
    vec3 base = gl_Color.rgb;
    vec3 colour = base * (0.28 + 0.9 * diffuse)
                + environment * (0.1 + 0.5 * fresnel) * (0.55 + 0.45 * lit)
                + vec3(0.55 * specular)
                + base * (1.6 * glow);
    gl_FragData[0] = vec4(colour, 1.0);
    gl_FragData[1] = vec4(n * 0.5 + 0.5, 1.0);
    gl_FragData[2] = vec4(vec3(length(eyePosition) / (2.0 * farPlane)), 1.0);
}
