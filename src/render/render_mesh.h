#pragma once

#include <cstdint>
#include <memory>

#include "render/render_node.h"
#include "render/render_pools.h"
#include "render/scan_records.h"

namespace orva {

// A leaf of the render tree: screen-space triangles walked row by row with incremental
// edges. Per row each active edge is stepped once; per column each active span once.
class CRenderMesh : public CRenderNode {
public:
    // The pools must outlive the mesh: it takes its records from them and returns them.
    CRenderMesh(CRenderPools& pools, EShading shadingMode);
    ~CRenderMesh() override;

    // Takes over a chain of triangles (three vertex records each, see CScanVertex) on a mesh
    // without triangles, for the rows firstRow..lastRow of the render rectangle. Snaps rows,
    // puts each triangle's top vertex first, sorts the triangles by first row and sets the
    // node's first and end rows (those the triangles reach, which may lie outside the
    // rectangle). Triangles with a coordinate that is not finite, triangles outside the rows
    // and an unfinished triangle at the end go back to the pool.
    void LoadTriangles(CScanVertex* triangles, int firstRow, int lastRow);

    // Leaves the row's spans (not yet set up) in `spans`. Rows increase from call to call;
    // rows skipped are simply passed over.
    void AdvanceRow(int row) override;

    // One fragment per span covering `column`, front first. Must be called once per column,
    // in increasing order, over the columns the row's spans were set up for.
    CFragment* RawFragments(int column);

    // Returns the row's spans (in any of the three span lists) to the pool.
    void ReleaseRowSpans();

    EShading ShadingMode() const { return m_shadingMode; }

    // The scene object the mesh shows, stamped on its spans; null: the mesh itself.
    const void* owner = nullptr;
    bool HasTriangles() const {
        return m_activeTriangles != nullptr || m_waitingTriangles != nullptr;
    }

private:
    struct CRowTails;

    void AdvanceActive(int row, CRowTails& tails);
    void ActivateWaiting(int row, CRowTails& tails);
    void AppendSpan(CEdge* first, CEdge* second, CRowTails& tails);
    void RecycleTriangle(CScanVertex* top);

    CRenderPools* m_pools;
    EShading m_shadingMode;
    // Active triangles in activation order, then (separately) the waiting ones sorted by
    // first row; both chained through the vertex links.
    CScanVertex* m_activeTriangles = nullptr;
    CScanVertex* m_waitingTriangles = nullptr;
    CEdge* m_activeEdges = nullptr;  // two per active triangle, in the same order
    CSpan* m_activeSpansTail = nullptr;
};

// A mesh over `triangles` with `material` (not owned), for the render rectangle's rows
// firstRow..lastRow; none when no triangle is left to draw.
std::unique_ptr<CRenderMesh> BuildMesh(CRenderPools& pools, EShading shadingMode,
                                       CScanVertex* triangles, const CRenderMaterial* material,
                                       int firstRow, int lastRow);

// The leaf's share of the tree's per-row update: the row's spans set up and clipped to the
// render rectangle's columns, sorted by first column and left pending for RawFragments, with
// the leftmost and rightmost columns of the row.
void AdvanceLeafToRow(CRenderMesh& mesh, int row, int firstColumn, int lastColumn);

}  // namespace orva
