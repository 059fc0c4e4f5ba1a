// The matrix of one node transformation element.
#pragma once

#include "collada/ColladaDocument.h"
#include "engine/stagemill.h"

namespace Collada {

// matrix: the stored column-order values; rotate (x y z degrees): a rotation
// by the negated angle, the identity when it is within 0.001 of zero; scale;
// translate. Readers guarantee enough values (a short element gets defaults).
ZEPHRAN_STAGEMILL::Matrix4 transformationMatrix(const Transformation& transformation);

} // namespace Collada
