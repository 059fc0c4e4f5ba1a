#version 120
// "ssao": screen-space ambient occlusion, drawn at half resolution.
//
// Inputs are the scene targets: TNormal holds the eye-space normal as
// n * 0.5 + 0.5, TDepth the linear depth (eye distance / far plane) in red,
// 0 where nothing was drawn. TRandom is a tiling texture of random vectors
// that turns the sample kernel per pixel, so banding becomes fine noise the
// following blur removes.
//
// Each of twelve kernel samples is mirrored into the hemisphere around the
// normal and looked up at a radius that shrinks with distance. A sample
// occludes when it lies nearer the eye by more than falloff (a bias against
// self-shadowing on sloped surfaces) and faces another way than the pixel.
// Occluders much nearer than the pixel (beyond kReach) are ignored, so an
// object does not darken a distant background around its silhouette.
//
// Output: occlusion factor in rgb (1 = open, 0 = fully occluded), alpha 1.
varying vec2 uv;
uniform sampler2D TNormal;
uniform sampler2D TRandom;
uniform sampler2D TDepth;
uniform float strength /*0.0_20.0*/;
uniform float offset /*1.0_40.0*/;
uniform float falloff /*0.0_0.05*/;
uniform float radius /*0.0_0.1*/;

const float kReach = 0.02;
const vec3 kKernel[12] = vec3[12](
    vec3(-0.0447, -0.0885, 0.0383),
    vec3(-0.1189, 0.0100, -0.0373),
    vec3(0.0244, -0.0327, 0.1508),
    vec3(0.1385, -0.1398, 0.0357),
    vec3(0.1829, -0.1681, 0.0629),
    vec3(0.2180, -0.0875, -0.2246),
    vec3(0.1561, -0.0854, -0.3652),
    vec3(0.3361, 0.2272, -0.2922),
    vec3(0.1177, 0.0399, 0.5934),
    vec3(-0.5921, -0.1269, 0.3986),
    vec3(0.4474, 0.7037, 0.1942),
    vec3(0.8120, -0.4028, 0.4224));

vec3 decodeNormal(vec2 at)
{
    return normalize(texture2D(TNormal, at).xyz * 2.0 - 1.0);
}

void main()
{
    float depth = texture2D(TDepth, uv).r;
    if (depth <= 0.0) {
        gl_FragColor = vec4(1.0);
        return;
    }
    vec3 normal = decodeNormal(uv);
    vec3 turn = normalize(texture2D(TRandom, uv * offset).xyz * 2.0 - 1.0);
    float scale = radius / depth;

    float occlusion = 0.0;
    for (int i = 0; i < 12; ++i) {
        vec3 ray = scale * reflect(kKernel[i], turn);
        ray *= sign(dot(ray, normal));
        vec2 at = uv + ray.xy;
        float occluderDepth = texture2D(TDepth, at).r;
        float difference = depth - occluderDepth;
        float facing = 1.0 - dot(decodeNormal(at), normal);
        float drawn = step(0.00001, occluderDepth);
        occlusion += drawn * step(falloff, difference) * facing
                   * (1.0 - smoothstep(falloff, falloff + kReach, difference));
    }
    float ao = clamp(1.0 - strength * occlusion / 12.0, 0.0, 1.0);
    gl_FragColor = vec4(ao, ao, ao, 1.0);
}
