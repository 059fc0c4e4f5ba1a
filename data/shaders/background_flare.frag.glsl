// "background_flare": a soft sprite from "texture" (unit 0). Its edge fades
// out, so no image ever shows a square border. The colour's alpha scales it
// and its rgb is not used: callers draw with whatever colour the scene left
// (the logo's splat draws in black) and choose the blending, additive
// (GL_ONE, GL_ONE_MINUS_SRC_COLOR) or alpha (GL_SRC_ALPHA, ...). The alpha
// written is the image's alpha times its brightness, so an opaque JPEG adds
// cover only where it glows.
// Outputs: colour; normal and depth targets take the sprite only through
// blending, with the sprite's cover as their alpha.
varying float depth;
uniform sampler2D texture;
void main()
{
    vec2 uv = gl_TexCoord[0].st;
    vec4 texel = texture2D(texture, uv);
    vec2 centred = abs(uv * 2.0 - 1.0);
    float edge = 1.0 - smoothstep(0.75, 1.0, max(centred.x, centred.y));
    float strength = edge * gl_Color.a;
    float glow = max(max(texel.r, texel.g), texel.b);
    float cover = texel.a * glow * strength;
    // Black, empty texels add nothing under either blending; skipping them
    // spares the blend of all render targets over the large splat quads.
    if (glow * strength < 0.008)
        discard;
    gl_FragData[0] = vec4(texel.rgb * strength, cover);
    gl_FragData[1] = vec4(0.5, 0.5, 1.0, 0.0);
    gl_FragData[2] = vec4(vec3(depth), 0.0);
}
