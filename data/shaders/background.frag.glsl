// "background": the sky box faces, the large sky flares and picture layers
// over the sky: "texture" (unit 0) times the colour, alpha included (the sky
// is drawn unblended, flares and layers blended over it).
// Outputs: colour; normal and depth 0, which the occlusion pass reads as
// "nothing drawn here" (no occlusion on the sky) and which additive flares
// and layers leave unchanged.
uniform sampler2D texture;
void main()
{
    vec4 texel = texture2D(texture, gl_TexCoord[0].st);
    gl_FragData[0] = texel * gl_Color;
    gl_FragData[1] = vec4(0.0);
    gl_FragData[2] = vec4(0.0);
}
