// "background_solid": flat shapes in their vertex colour.
#include "colour_vertex.glsl"
