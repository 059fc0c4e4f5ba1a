#version 120
// "combine": the scene colour darkened by the (blurred) occlusion factor in
// the red channel of TAo. The colour's alpha passes through, so the scene
// can still be blended over a background.
varying vec2 uv;
uniform sampler2D TColor;
uniform sampler2D TAo;
void main()
{
    vec4 colour = texture2D(TColor, uv);
    float ao = texture2D(TAo, uv).r;
    gl_FragColor = vec4(colour.rgb * ao, colour.a);
}
