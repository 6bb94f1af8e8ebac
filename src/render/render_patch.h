#pragma once

#include <memory>
#include <vector>

#include "geometry/bspline_surface.h"
#include "render/leaf_view.h"
#include "render/render_mesh.h"
#include "render/render_pools.h"

namespace orva {

struct CRenderMaterial;

// Steps per span in the two parameter directions (u across the net rows, v along them); a
// count below 1 counts as 1.
struct CPatchSteps {
    int u = 1;
    int v = 1;
};

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
    // `net` is extended already (ExtendControlNet) and in object space; `view` holds the
    // matrices of the moment the patch was built.
    CRenderPatch(CRenderPools& pools, const CLeafView& view, CControlNet net, CPatchSteps steps);

    // Tessellates the surface into the leaf's triangles, for the rows from `row` on, and drops
    // the net. Only the first call does anything.
    void Activate(int row) override;

    // The samples of the surface: window position, eye-space normal and, when every pixel is
    // shaded, surface point, tangents and texture coordinates. Empty once activated.
    CPatchSamples Samples() const;

private:
    CRenderPools& m_recordPools;  // the mesh's own pointer to them is private to it
    CLeafView m_view;
    CControlNet m_net;
    CPatchSteps m_steps;
    bool m_activated = false;
};

// A patch over the extended net `net`, its rows estimated from the net's projection and set to
// the rows it may cover. None when a net point is not finite, when the net is too small to
// describe a surface, or when it lies wholly above or below the render rectangle.
std::unique_ptr<CRenderPatch> MakeRenderPatch(CRenderPools& pools, const CLeafView& view,
                                              CControlNet net, CPatchSteps steps,
                                              const CRenderMaterial* material);

}  // namespace orva
