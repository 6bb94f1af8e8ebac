#pragma once

#include <memory>
#include <span>

#include "geometry/vector3.h"
#include "render/leaf_view.h"
#include "render/render_mesh.h"
#include "render/render_pools.h"

namespace orva {

struct CRenderMaterial;

// A flat leaf over the contours (the first outer, the others holes running the other way),
// triangulated in the order the outer contour winds: that order, not the normal, decides which
// side the crossings of the cap count as entering. Every vertex is lit with `objectNormal`
// (object space; its length does not matter) brought to eye space. None when the normal is
// zero or not finite, or when no triangle is left to draw.
std::unique_ptr<CRenderMesh> BuildFlatCap(CRenderPools& pools, const CLeafView& view,
                                          std::span<const std::span<const CVector3>> contours,
                                          CVector3 objectNormal, const CRenderMaterial* material);

}  // namespace orva
