#pragma once

#include <memory>

#include "geometry/vector3.h"
#include "scene/poly_mesh.h"

namespace orva {

// A closed box between two corners as a polygon mesh of six quads, each wound
// counter-clockwise seen from outside, every vertex unselected.
std::unique_ptr<CPolyMesh> MakeBoxMesh(CVector3 min, CVector3 max);

// A closed sphere as a smooth-shaded polygon mesh: `around` segments of longitude (at least 3)
// and `across` bands of latitude (at least 2) between poles on the z axis; quads between the
// bands and triangles at the poles, each wound counter-clockwise seen from outside.
std::unique_ptr<CPolyMesh> MakeSphereMesh(CVector3 centre, float radius, int around, int across);

}  // namespace orva
