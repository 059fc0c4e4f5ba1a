// "plates_depth": shadow pass of the plates and the sphere slices. Writes the
// window depth seen from the light, packed into the three colour bytes of the
// shadow map with alpha 1 (depth_pack.glsl), for shadow_lookup.glsl to read.
#include "depth_pack.glsl"
void main()
{
    gl_FragColor = vec4(packDepth(gl_FragCoord.z), 1.0);
}
