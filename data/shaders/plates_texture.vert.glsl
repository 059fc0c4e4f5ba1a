// "plates_texture": the spinning floor under the plates.
#include "plates_vertex.glsl"
