// The five scenes of the archive, each designed for how its effect walks it.
#pragma once

#include "Collada.h"

namespace scenes {

collada::Document logo();
collada::Document chamferCube();
collada::Document geosphere();
collada::Document slicedSphere();
collada::Document primitives();

} // namespace scenes
