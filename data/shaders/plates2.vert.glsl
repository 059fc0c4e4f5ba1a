// "plates2": the walker ribbons of Plates2.
#include "plates_vertex.glsl"
