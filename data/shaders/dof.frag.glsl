#version 120
// "dof": depth of field. Mixes the sharp picture TColor with its blurred
// copy TBlur by how far the pixel's depth lies from focus. TDepth holds the
// eye distance / far plane, plain (d, d, d) or packed over rgb (see "ssao").
// near and far are the depth distances in front of and behind focus at
// which the picture is fully blurred; in between the mix eases in smoothly. All four channels are mixed, so alpha edges of the
// scene soften with it.
varying vec2 uv;
uniform sampler2D TColor;
uniform sampler2D TBlur;
uniform sampler2D TDepth;
uniform float near /*0.0_1.0*/;
uniform float focus /*0.0_1.0*/;
uniform float far /*0.0_1.0*/;
void main()
{
    vec4 sharp = texture2D(TColor, uv);
    vec4 blurred = texture2D(TBlur, uv);
    float d = dot(texture2D(TDepth, uv).rgb, vec3(1.0, 1.0 / 255.0, 1.0 / 65025.0)) - focus;
    float amount = d < 0.0 ? -d / max(near, 0.0001) : d / max(far, 0.0001);
    gl_FragColor = mix(sharp, blurred, smoothstep(0.0, 1.0, amount));
}
