// "logo_ground": a dark glossy floor. Its alpha (the colour's, 0.48) darkens
// the reflection drawn beneath; the logo's soft shadow darkens it further, and the
// reflection fades out with distance from the logo. Towards the floor's far
// and side edges the cover falls to nothing, so the floor melts into the
// background instead of ending in a line. A faint sheen of the environment
// cube map (unit 0) tints the surface.
// Outputs: colour with the floor's cover as alpha; the normal and depth
// targets keep what the reflection wrote (alpha 0 under blending).
varying vec3 floorPosition;
uniform samplerCube cube;
varying vec3 eyePosition;
varying vec4 shadowCoord;
#include "shadow_lookup.glsl"

void main()
{
    float lit = lightVisibilityRings(shadowCoord);
    float distance = length(floorPosition.xz * vec2(1.0, 1.6));
    float fade = smoothstep(5.0, 18.0, distance);
    float edges = smoothstep(-20.0, -4.0, floorPosition.z) * (1.0 - smoothstep(8.0, 20.0, abs(floorPosition.x)));
    float cover = clamp(gl_Color.a + 0.3 * (1.0 - lit) + 0.3 * fade, 0.0, 1.0) * edges;
    vec3 v = normalize(-eyePosition);
    vec3 up = normalize(gl_NormalMatrix * vec3(0.0, 1.0, 0.0));
    vec3 sheen = textureCube(cube, reflect(-v, up)).rgb * 0.12 * lit;
    gl_FragData[0] = vec4(gl_Color.rgb + sheen, cover);
    gl_FragData[1] = vec4(0.5, 0.5, 1.0, 0.0);
    gl_FragData[2] = vec4(0.0, 0.0, 0.0, 0.0);
}
