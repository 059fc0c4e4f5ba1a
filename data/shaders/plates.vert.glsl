// "plates": the plates of the Plates effect.
#include "plates_vertex.glsl"
