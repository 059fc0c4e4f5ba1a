// "logo_ground": a dark glossy floor. Its alpha (the colour's, 0.48) darkens
// the reflection drawn beneath; the logo's soft shadow darkens it further, and the
// reflection fades out with distance from the logo. Towards the floor's far
// and side edges the cover falls to nothing, so the floor melts into the
// background instead of ending in a line. A faint sheen of the environment
// cube map (unit 0) tints the surface.
// Outputs: colour with the floor's cover as alpha; the normal and depth
// targets keep what the reflection wrote (alpha 0 under blending).
varying vec3 floorPosition;
uniform sampler2D shadowMap;
uniform samplerCube cube;
varying vec3 eyePosition;
varying vec4 shadowCoord;

float unpackDepth(vec4 texel)
{
    return dot(texel.rgb, vec3(1.0, 1.0 / 255.0, 1.0 / 65025.0));
}

float shadowTap(vec2 texelCentre, float z)
{
    vec4 texel = texture2D(shadowMap, texelCentre / 2048.0);
    if (texel.a < 0.5)
        return 1.0;
    return step(z - 0.0006, unpackDepth(texel));
}

// Light reaching the floor point, averaged over twelve taps on two rings
// about it (3 and 7 texels out), so the logo's shadow fades out softly at
// its edges instead of ending in a hard dark blob.
float lightVisibility(vec4 coord)
{
    if (coord.w <= 0.0)
        return 1.0;
    vec3 p = coord.xyz / coord.w;
    if (p.x <= 0.0 || p.y <= 0.0 || p.x >= 1.0 || p.y >= 1.0 || p.z >= 1.0)
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

void main()
{
    float lit = lightVisibility(shadowCoord);
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
