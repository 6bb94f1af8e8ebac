#pragma once

#include <memory>
#include <vector>

#include "render/csg/leaf_view.h"
#include "render/csg/render_mesh.h"
#include "render/csg/render_pools.h"
#include "render/tessellation/object_tessellation.h"

namespace orva {

struct CRenderMaterial;

// Vertex records of every sample of a patch, grid row by grid row (see CSurfaceGrid).
struct CPatchSamples {
    int rows = 0;
    int cols = 0;
    std::vector<CScanVertex> vertices;
};

// A B-spline surface leaf that makes its triangles only when the scanline reaches it, so that
// a scene holds the triangles of the surfaces near the current row rather than of all of them.
// Until then its rows are an estimate that is sure to contain the surface.
class CRenderPatch : public CRenderMesh {
public:
    // `patch` belongs to `owner`, which the leaf keeps until it has made its triangles; `view`
    // holds the matrices of the moment the patch was built.
    CRenderPatch(CRenderPools& pools, const CLeafView& view,
                 std::shared_ptr<const CObjectTessellation> owner, const CPatchTessellation& patch);

    // Projects the patch's samples into the leaf's triangles, for the rows from `row` on, and
    // lets the tessellation go. Only the first call does anything.
    void Activate(int row) override;

    // The samples of the surface: window position, eye-space normal and, when every pixel is
    // shaded, surface point, tangents and texture coordinates. Empty once activated.
    CPatchSamples Samples() const;

private:
    CRenderPools& m_recordPools;  // the mesh's own pointer to them is private to it
    CLeafView m_view;
    std::shared_ptr<const CObjectTessellation> m_owner;
    const CPatchTessellation* m_patch;
    bool m_activated = false;
};

// A patch over a sampled surface of `owner`, its rows estimated from the projection of its
// extended net and set to the rows it may cover. None when a net point is not finite, when the
// net is too small to describe a surface, or when it lies wholly above or below the render
// rectangle.
std::unique_ptr<CRenderPatch> MakeRenderPatch(CRenderPools& pools, const CLeafView& view,
                                              std::shared_ptr<const CObjectTessellation> owner,
                                              const CPatchTessellation& patch,
                                              const CRenderMaterial* material);

}  // namespace orva
