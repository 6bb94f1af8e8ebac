#pragma once

#include <memory>

#include "render/csg/leaf_view.h"
#include "render/csg/render_mesh.h"
#include "render/csg/render_pools.h"
#include "render/tessellation/object_tessellation.h"

namespace orva {

struct CRenderMaterial;

// A flat leaf over a triangulated cap in a view: every vertex is lit with the cap's normal
// brought to eye space. None when the cap has no triangle or none is left to draw.
std::unique_ptr<CRenderMesh> BuildFlatCap(CRenderPools& pools, const CLeafView& view,
                                          const CCapTessellation& cap,
                                          const CRenderMaterial* material);

}  // namespace orva
