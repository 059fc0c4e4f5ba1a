#version 120
// "targetview": one render target drawn full screen by the viewer's
// render-target view. Colour targets (normals are stored as n * 0.5 + 0.5,
// so they read as colours too) show their rgb opaque. Depth targets, plain
// (d, d, d) or packed over rgb, show as a grey ramp from white at `nearDepth`
// to black at `farDepth`; texels nothing was drawn into (depth 0) show dark
// blue.
#include "depth_pack.glsl"
varying vec2 uv;
uniform sampler2D tex;
uniform float depthLook /*0_1*/;
uniform float nearDepth;
uniform float farDepth;
void main()
{
    vec4 texel = texture2D(tex, uv);
    if (depthLook < 0.5) {
        gl_FragColor = vec4(texel.rgb, 1.0);
        return;
    }
    float depth = unpackDepth(texel);
    if (depth <= 0.0) {
        gl_FragColor = vec4(0.0, 0.0, 0.25, 1.0);
        return;
    }
    float grey = 1.0 - clamp((depth - nearDepth) / max(farDepth - nearDepth, 1e-6), 0.0, 1.0);
    gl_FragColor = vec4(vec3(grey), 1.0);
}
