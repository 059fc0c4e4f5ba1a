// "growprimitives": the chains' glossy solids in the object's colour.
#include "colour_vertex.glsl"
