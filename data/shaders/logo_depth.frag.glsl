// "logo_depth": writes the window depth seen from the light, packed into the
// three colour bytes of the shadow map with alpha 1 (depth_pack.glsl); the
// lookup in "logo" and "logo_ground" reads it back (shadow_lookup.glsl).
#include "depth_pack.glsl"
void main()
{
    gl_FragColor = vec4(packDepth(gl_FragCoord.z), 1.0);
}
