#version 120
// "combine": the scene colour darkened by the (blurred) occlusion factor in
// the red channel of TAo. The colour's alpha passes through, so the scene
// can still be blended over a background.
//
// TAo is smaller than the picture (aoSize texels). Stretching it bilinearly
// would draw each low-resolution texel's step along every silhouette, so it
// is upsampled by depth: of the four texels around the pixel, each counts
// by its bilinear weight times how closely the depth under its centre
// (TDepth, read as "ssao" does) matches the pixel's own. Occlusion then
// stops at the full-resolution edges instead of in texel-sized stairs.
varying vec2 uv;
uniform sampler2D TColor;
uniform sampler2D TAo;
uniform sampler2D TDepth;
uniform vec2 aoSize;

float depthAt(vec2 at)
{
    return dot(texture2D(TDepth, at).rgb, vec3(1.0, 1.0 / 255.0, 1.0 / 65025.0));
}

void main()
{
    vec4 colour = texture2D(TColor, uv);
    float depth = depthAt(uv);
    // Half a percent of the depth (a plate above another differs by a few),
    // and about half the step of a plain 8-bit depth.
    float tolerance = max(depth * 0.005, 0.002);
    vec2 texel = uv * aoSize - 0.5;
    vec2 base = floor(texel);
    vec2 f = texel - base;
    float sum = 0.0;
    float weight = 0.0;
    for (int i = 0; i < 4; ++i) {
        vec2 corner = vec2(float(i - (i / 2) * 2), float(i / 2));
        vec2 centre = (base + corner + 0.5) / aoSize;
        vec2 w2 = mix(1.0 - f, f, corner);
        float gap = abs(depthAt(centre) - depth) / tolerance;
        float closeness = 1.0 / (1.0 + gap * gap);
        float w = w2.x * w2.y * closeness + 1.0e-4;
        sum += texture2D(TAo, centre).r * w;
        weight += w;
    }
    gl_FragColor = vec4(colour.rgb * (sum / weight), colour.a);
}
