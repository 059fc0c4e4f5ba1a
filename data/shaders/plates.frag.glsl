// "plates": the plates in their own colour, lit and shadowed.
#include "plates_surface.glsl"
void main()
{
    shadePlatesSurface(gl_Color.rgb);
}
