// "plates2": a ribbon in its walker's colour, patterned by the ribbon picture
// on unit 1 ("tex"; s picks one of its two halves, t runs along the trail),
// lit and shadowed.
#include "plates_surface.glsl"
uniform sampler2D tex;
void main()
{
    vec3 pattern = texture2D(tex, uv).rgb;
    shadePlatesSurface(gl_Color.rgb * mix(vec3(1.0), pattern, 0.75));
}
