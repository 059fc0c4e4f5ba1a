// Shadow-map lookup. The map holds the light's window depth packed by
// depth_pack.glsl; the caller passes the biased light-clip coordinate that the
// vertex stage computed as gl_TextureMatrix[k] * gl_ModelViewMatrix * gl_Vertex
// with the lookup matrix loaded into that texture matrix. Both visibility
// functions give 1 where the light reaches the point and 0 in full shadow;
// everything outside the light's view counts as lit.
#include "depth_pack.glsl"
uniform sampler2D shadowMap;

// 1 when the stored occluder at this texel centre is not in front of z.
float shadowTap(vec2 texelCentre, float z)
{
    vec4 texel = texture2D(shadowMap, texelCentre / 2048.0);
    if (texel.a < 0.5)
        return 1.0;
    return step(z - 0.0006, unpackDepth(texel));
}

// False outside the light's view, else p is the point in map space.
bool inLightView(vec4 coord, out vec3 p)
{
    p = coord.xyz / max(coord.w, 0.000001);
    return coord.w > 0.0 && p.x > 0.0 && p.y > 0.0 && p.x < 1.0 && p.y < 1.0 && p.z < 1.0;
}

// Four taps around the point, weighted bilinearly, so shadow edges are soft
// without filtering packed depths.
float lightVisibility(vec4 coord)
{
    vec3 p;
    if (!inLightView(coord, p))
        return 1.0;
    vec2 texel = p.xy * 2048.0 - 0.5;
    vec2 base = floor(texel) + 0.5;
    vec2 f = fract(texel);
    float a = shadowTap(base, p.z);
    float b = shadowTap(base + vec2(1.0, 0.0), p.z);
    float c = shadowTap(base + vec2(0.0, 1.0), p.z);
    float d = shadowTap(base + vec2(1.0, 1.0), p.z);
    return mix(mix(a, b, f.x), mix(c, d, f.x), f.y);
}

// One tap at the nearest texel: for surfaces whose pixels are larger than
// the map's texels, where filtering buys little for four times the lookups.
float lightVisibilityNearest(vec4 coord)
{
    vec3 p;
    if (!inLightView(coord, p))
        return 1.0;
    return shadowTap(floor(p.xy * 2048.0) + 0.5, p.z);
}

// Twelve taps on two rings about the point (3 and 7 texels out): a wide,
// soft penumbra for a floor that catches the shadow of things standing on
// it, so the shadow fades out at its edges instead of ending in a hard blob.
float lightVisibilityRings(vec4 coord)
{
    vec3 p;
    if (!inLightView(coord, p))
        return 1.0;
    vec2 centre = p.xy * 2048.0;
    float sum = 0.0;
    for (int i = 0; i < 6; ++i) {
        float a = float(i) * 1.0472;
        vec2 d = vec2(cos(a), sin(a));
        sum += shadowTap(floor(centre + 3.0 * d) + 0.5, p.z);
        sum += shadowTap(floor(centre + 7.0 * vec2(d.x * 0.866 - d.y * 0.5, d.x * 0.5 + d.y * 0.866)) + 0.5, p.z);
    }
    return sum / 12.0;
}
