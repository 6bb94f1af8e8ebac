#pragma once

#include <memory>

#include "geometry/vector3.h"
#include "scene/group.h"
#include "scene/poly_mesh.h"
#include "scene/surface.h"

namespace orva::test {

// A closed box as a polygon mesh of six outward-wound quads.
std::unique_ptr<CPolyMesh> Box(CVector3 min, CVector3 max);

// An open tube around the model y axis (the line of sight of standard view 1): a surface
// closed along v (around the axis) and open along u (its two ends), like a ring band.
std::unique_ptr<CSurface> Tube(float radius, float yMin, float yMax);

// A torus around the model y axis: a surface closed in both directions, so it gets no caps.
std::unique_ptr<CSurface> Torus(float majorRadius, float minorRadius);

// A group of the given kind that owns the objects, in order.
std::unique_ptr<CGroup> Group(int32_t kind, std::initializer_list<CSceneObject*> children);

}  // namespace orva::test
