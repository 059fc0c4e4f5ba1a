#version 120
// "ssao": screen-space ambient occlusion, drawn at half resolution.
//
// Inputs are the scene targets: TNormal holds the eye-space normal as
// n * 0.5 + 0.5, TDepth the linear depth d = eye distance / far plane, 0
// where nothing was drawn. Depth may be packed over rgb as fract(d * (1,
// 255, 65025)) with the carries taken out (24 bits), or written plainly as
// (d, d, d): the decoding below reads both, the plain form to within 0.4%. TRandom is a tiling texture of random vectors
// that turns the sample kernel per pixel, so banding becomes fine noise the
// following blur removes.
//
// Each of sixteen kernel samples is mirrored into the hemisphere around the
// normal and looked up at a radius that shrinks with distance. A sample
// occludes when it lies nearer the eye by more than falloff (a bias against
// self-shadowing on sloped surfaces) and faces another way than the pixel.
// Occluders much nearer than the pixel (beyond a reach of 5 x falloff +
// 0.01) fade out, so an object does not darken a distant background around
// its silhouette.
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

const vec3 kKernel[16] = vec3[16](
    vec3(-0.0224, 0.0282, 0.1999),
    vec3(-0.1964, 0.0074, 0.0809),
    vec3(0.0894, 0.0671, -0.1989),
    vec3(-0.0258, -0.0425, 0.2450),
    vec3(0.0376, 0.2756, -0.0004),
    vec3(0.1824, -0.0479, -0.2491),
    vec3(0.1892, -0.1682, -0.2462),
    vec3(-0.1054, 0.3667, -0.1201),
    vec3(0.1528, 0.3288, -0.2718),
    vec3(-0.4977, 0.0916, -0.0812),
    vec3(0.1992, -0.5315, -0.1098),
    vec3(-0.4005, -0.1464, 0.4906),
    vec3(-0.4503, -0.3796, 0.4282),
    vec3(-0.6785, 0.1370, -0.4254),
    vec3(0.5380, -0.6815, -0.2485),
    vec3(0.9865, -0.0350, 0.1602));

float decodeDepth(vec2 at)
{
    return dot(texture2D(TDepth, at).rgb, vec3(1.0, 1.0 / 255.0, 1.0 / 65025.0));
}

vec3 decodeNormal(vec2 at)
{
    return normalize(texture2D(TNormal, at).xyz * 2.0 - 1.0);
}

void main()
{
    float depth = decodeDepth(uv);
    if (depth <= 0.0) {
        gl_FragColor = vec4(1.0);
        return;
    }
    vec3 normal = decodeNormal(uv);
    vec3 turn = normalize(texture2D(TRandom, uv * offset).xyz * 2.0 - 1.0);
    float scale = radius / depth;
    float reach = falloff * 5.0 + 0.01;

    float occlusion = 0.0;
    for (int i = 0; i < 16; ++i) {
        vec3 ray = scale * reflect(kKernel[i], turn);
        ray *= sign(dot(ray, normal));
        vec2 at = uv + ray.xy;
        float occluderDepth = decodeDepth(at);
        float difference = depth - occluderDepth;
        float facing = 1.0 - dot(decodeNormal(at), normal);
        float drawn = step(0.00001, occluderDepth);
        occlusion += drawn * step(falloff, difference) * facing
                   * (1.0 - smoothstep(falloff, reach, difference));
    }
    float ao = clamp(1.0 - strength * occlusion / 16.0, 0.0, 1.0);
    gl_FragColor = vec4(ao, ao, ao, 1.0);
}
