#version 120
// "dof": depth of field. TColor is the sharp picture, TBlur its blurred copy
// (the widest blur), TDepth the eye distance / far plane, plain (d, d, d) or
// packed over rgb (see "ssao"), 0 where nothing was drawn: the sky, the
// backdrop beyond any band, which takes the full blur.
//
// The lens: focus is the focus distance, near and far the depth of field in
// front of and behind it, all in the depth target's units (fractions of the
// camera's far plane). Inside [focus - near, focus + far] the picture counts
// as sharp; the blur radius follows a thin lens, growing with the difference
// of inverse distances from focus, and eases into a cap of kMaxRadius pixels.
// A band reaching the camera (near >= focus) keeps the whole foreground
// sharp.
//
// The blur gathers TColor over a disc of the pixel's own radius. A nearer
// sample joins only as far as its own blur reaches, so a sharp object never
// bleeds into the blurred background behind it (no halo) and the background
// never smears over it. Large radii fade to TBlur where no such nearer object
// lies inside the disc. All four channels are mixed, so alpha edges of the
// scene soften with it.
varying vec2 uv;
uniform sampler2D TColor;
uniform sampler2D TBlur;
uniform sampler2D TDepth;
uniform float near /*0.0_1.0*/;
uniform float focus /*0.0_1.0*/;
uniform float far /*0.0_1.0*/;
uniform float screenWidth;
uniform float screenHeight;

const float kMaxRadius = 6.0;     // pixels
const float kGrowth = 0.2;        // radius slope at focus: about a sixth of the cap at the band's edge
const int kTaps = 16;
const float kSky = 1.0e6;         // the depth of pixels where nothing was drawn

// Unit-disc taps on a golden-angle spiral, equal area each.
const vec2 kDisc[16] = vec2[16](
    vec2(0.177, 0.000), vec2(-0.226, 0.207), vec2(0.035, -0.394), vec2(0.285, 0.371),
    vec2(-0.522, -0.092), vec2(0.495, -0.315), vec2(-0.165, 0.616), vec2(-0.316, -0.608),
    vec2(0.685, 0.250), vec2(-0.712, 0.294), vec2(0.343, -0.734), vec2(0.254, 0.809),
    vec2(-0.765, -0.443), vec2(0.897, -0.197), vec2(-0.548, 0.779), vec2(-0.126, -0.976));

float depthAt(vec2 at)
{
    float d = dot(texture2D(TDepth, at).rgb, vec3(1.0, 1.0 / 255.0, 1.0 / 65025.0));
    return d > 0.0 ? d : kSky;
}

// Blur radius as a share of the cap for depth d. The radius of a thin lens
// grows with |1/d - 1/focus|; x measures that in bands: the inverse-depth
// width of the far band, or of the near band where that is wider (one lens
// has one aperture, so the narrow side takes the wide side's).
float blurShare(float d)
{
    if (d >= kSky)
        return 1.0;
    float behind = 1.0 / focus - 1.0 / (focus + max(far, 1.0e-4));
    float x;
    if (d < focus) {
        float inFront = near < focus ? 1.0 / (focus - near) - 1.0 / focus : 1.0e6;
        x = (1.0 / d - 1.0 / focus) / max(inFront, behind);
    } else {
        x = (1.0 / focus - 1.0 / d) / behind;
    }
    return 1.0 - exp(-x * kGrowth);
}

void main()
{
    float depth = depthAt(uv);
    float share = blurShare(depth);
    vec2 pixel = vec2(1.0 / screenWidth, 1.0 / screenHeight);
    vec2 reach = pixel * kMaxRadius * share;

    vec4 sum = texture2D(TColor, uv);
    float weight = 1.0;
    float blocked = 0.0;
    if (share * kMaxRadius > 0.5) {
        for (int i = 0; i < kTaps; ++i) {
            vec2 at = uv + kDisc[i] * reach;
            float d = depthAt(at);
            float w = 1.0;
            if (d < depth * 0.98) {
                // A nearer sample covers this pixel only within its own blur.
                float own = blurShare(d) / max(share, 1.0e-4);
                w = clamp((own - length(kDisc[i])) * 4.0 + 0.5, 0.0, 1.0);
                blocked += 1.0 - w;
            }
            sum += texture2D(TColor, at) * w;
            weight += w;
        }
    }
    vec4 gathered = sum / weight;
    float clear = clamp(1.0 - blocked * 0.5, 0.0, 1.0);
    gl_FragColor = mix(gathered, texture2D(TBlur, uv), smoothstep(0.45, 1.0, share) * clear);
}
