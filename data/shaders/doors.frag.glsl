#version 120
// "doors": DanceCube's picture on a leaf, darker as the leaf turns away so
// the panels read as solid, with a thin bright rim on the outer edge whose
// colour moves from orange to magenta with the section's pattern. Over the
// last tenth of the effect the picture fades to black.
//
// Two parts of a leaf would show the picture smeared into dark streaks: a
// leaf seen nearly edge-on (the eye ray grazing it, which near the axis
// spreads one leaf over much of the screen), and the outer part of a folding
// leaf, stretched from a single texture column (its picture coordinate does
// not change across the leaf). Both become a clean sheet of the rim's colour
// instead, brightest at the outer edge, so a turning leaf reads as a flash
// of its edge.
uniform sampler2D TColor;
uniform float position /*0.0_1.0*/;
uniform int beatCount;
varying float across;
varying vec3 leafNormal;
varying vec3 eyePosition;
void main()
{
    vec3 picture = texture2D(TColor, gl_TexCoord[0].st).rgb;
    float facing = abs(dot(normalize(leafNormal), normalize(eyePosition)));
    float shade = 0.5 + 0.5 * smoothstep(0.0, 0.8, facing);
    vec3 rimColour = mix(vec3(0.9, 0.48, 0.03), vec3(0.95, 0.24, 0.55), float(beatCount) / 3.0);
    float rim = smoothstep(0.985, 1.0, across) * 0.6;
    float grazing = 1.0 - smoothstep(0.06, 0.3, facing);
    // Picture columns per leaf width: 0.5 on a plain leaf, 0 where stretched.
    float spread = fwidth(gl_TexCoord[0].s) / max(fwidth(across), 1.0e-5);
    float stretched = 1.0 - smoothstep(0.04, 0.2, spread);
    vec3 sheet = mix(rimColour, vec3(1.0), 0.2) * (0.15 + 0.5 * across * across) * shade;
    float plain = max(grazing, stretched);
    float fadeOut = 1.0 - smoothstep(0.9, 1.0, position);
    vec3 colour = mix(mix(picture * shade, rimColour, rim), sheet, plain) * fadeOut;
    gl_FragColor = vec4(colour * gl_Color.rgb, 1.0);
}
