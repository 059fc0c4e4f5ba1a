// Depth packed into the three colour bytes of an 8-bit target: 24 bits of a
// value in [0, 1). The shadow passes write the light's window depth this way
// (alpha 1 marks a covered texel; a cleared texel means no occluder).
vec3 packDepth(float depth)
{
    vec3 bytes = fract(depth * vec3(1.0, 255.0, 65025.0));
    return bytes - bytes.yzz * vec3(1.0 / 255.0, 1.0 / 255.0, 0.0);
}

float unpackDepth(vec4 texel)
{
    return dot(texel.rgb, vec3(1.0, 1.0 / 255.0, 1.0 / 65025.0));
}
