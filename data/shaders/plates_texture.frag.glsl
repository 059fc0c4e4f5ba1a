// "plates_texture": the floor, its colour times the disc picture on unit 1
// ("tex"), lit and shadowed.
#include "plates_surface.glsl"
uniform sampler2D tex;
void main()
{
    shadePlatesSurface(gl_Color.rgb * texture2D(tex, uv).rgb);
}
