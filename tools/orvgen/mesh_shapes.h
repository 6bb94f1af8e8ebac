#pragma once

#include <memory>

#include "geometry/vector3.h"
#include "scene/poly_mesh.h"

namespace orva {

// A closed box between two corners as a polygon mesh of six quads, each wound
// counter-clockwise seen from outside, every vertex unselected.
std::unique_ptr<CPolyMesh> MakeBoxMesh(CVector3 min, CVector3 max);

}  // namespace orva
