#version 120
// "doors": DanceCube's picture on a leaf, darker as the leaf turns edge-on so
// the panels read as solid, with a thin bright rim on the outer edge whose
// colour moves from orange to magenta with the section's pattern. Over the
// last tenth of the effect the picture fades to black.
uniform sampler2D TColor;
uniform float position /*0.0_1.0*/;
uniform int beatCount;
varying float across;
varying float facing;
void main()
{
    vec3 picture = texture2D(TColor, gl_TexCoord[0].st).rgb;
    float shade = 0.5 + 0.5 * facing;
    vec3 rimColour = mix(vec3(0.9, 0.48, 0.03), vec3(0.95, 0.24, 0.55), float(beatCount) / 3.0);
    float rim = smoothstep(0.985, 1.0, across) * 0.6;
    float fadeOut = 1.0 - smoothstep(0.9, 1.0, position);
    vec3 colour = mix(picture * shade, rimColour, rim) * fadeOut;
    gl_FragColor = vec4(colour * gl_Color.rgb, 1.0);
}
