#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "render/csg/render_node.h"
#include "render/csg/render_pools.h"
#include "render/csg/scan_records.h"

namespace orva {

class CWantedColumns;

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
    // and an unfinished triangle at the end are left out. The records go back to the pool at
    // once: the mesh keeps copies.
    void LoadTriangles(CScanVertex* triangles, int firstRow, int lastRow);
    // The same over triangles that share their vertices: three indices into `vertices` each, in
    // input order. The mesh keeps the vertices while it lives; triangles naming a vertex that
    // is not there are left out.
    void LoadSharedTriangles(std::vector<CScanVertex> vertices, std::span<const uint32_t> corners,
                             int firstRow, int lastRow);

    // Advances the triangles to `row` (rows increase from call to call; rows skipped are
    // simply passed over) and sets up the row's spans, clipped to the render rectangle's
    // columns firstColumn..lastColumn and sorted by first column for RawFragments, with the
    // leftmost and rightmost columns of the row. With `wanted`, spans that reach none of its
    // columns are left out: the row must then be asked for those columns only.
    void WalkRow(int row, int firstColumn, int lastColumn, const CWantedColumns* wanted = nullptr);

    // One fragment per span covering `column`, front first. Columns must rise from call to
    // call within a row; any may be passed over (those before nextSpanColumn have nothing).
    CFragment* RawFragments(int column);

    // Drops the row's spans, giving their shading records back to the pool.
    void ReleaseRowSpans();

    EShading ShadingMode() const { return m_shadingMode; }

    // The scene object the mesh shows, stamped on its spans; null: the mesh itself.
    const void* owner = nullptr;
    bool HasTriangles() const { return !m_active.empty() || m_nextWaiting < m_waiting.size(); }

private:
    // A loaded triangle not yet reached by the walk: the places of its vertices, top first.
    struct CWaitingTriangle {
        uint32_t corners[3];
    };
    // A triangle the walk is in, with its two edges on the current row and the positions of
    // its lower vertices: the walk reads one record per triangle and row.
    struct CActiveTriangle {
        CEdgeWalk first;
        CEdgeWalk second;
        CScanPoint secondPoint;
        CScanPoint thirdPoint;
        CScanVertex* vertices[3];  // top first
    };

    struct CLoading;
    void AdvanceActive(int row);
    void ActivateWaiting(int row);
    void SetUpRowSpans(int row, int firstColumn, int lastColumn, const CWantedColumns* wanted);
    void ReserveRowRecords();
    void SetNextSpanColumn();
    void RetireTriangle(CActiveTriangle& triangle);

    CRenderPools* m_pools;
    EShading m_shadingMode;
    std::vector<CScanVertex> m_vertices;
    // The vertices' window positions, rows snapped, so that the walk does not go back to the
    // vertex records for them.
    std::vector<CScanPoint> m_points;
    CSpanSource m_source;
    // Loaded triangles in the order they are activated (by first row); those before
    // m_nextWaiting have been taken.
    std::vector<CWaitingTriangle> m_waiting;
    std::size_t m_nextWaiting = 0;
    std::size_t m_expectedActive = 0;  // triangles on a busy row, as loading estimated
    // Active triangles in activation order, as places in m_slots: the records stay where
    // they are while the walk drops finished triangles from the order.
    std::vector<uint32_t> m_active;
    std::vector<CActiveTriangle> m_slots;
    std::vector<uint32_t> m_freeSlots;
    // The row's spans with pixels, in activation order; the keys (first column, place in
    // m_spans) of those spans, sorted; the next key the column walk reaches, and the spans it
    // has reached and not yet passed, in the keys' order.
    std::vector<CRowSpan> m_spans;
    std::vector<uint64_t> m_spanOrder;
    std::vector<uint64_t> m_sortedOrder;  // room for sorting m_spanOrder
    std::vector<uint32_t> m_columnCounts;
    std::size_t m_nextSpan = 0;
    std::vector<uint32_t> m_columnSpans;
};

// A mesh over `triangles` with `material` (not owned), for the render rectangle's rows
// firstRow..lastRow; none when no triangle is left to draw.
std::unique_ptr<CRenderMesh> BuildMesh(CRenderPools& pools, EShading shadingMode,
                                       CScanVertex* triangles, const CRenderMaterial* material,
                                       int firstRow, int lastRow);

// A mesh over triangles sharing `vertices` (see LoadSharedTriangles); none when no triangle is
// left to draw.
std::unique_ptr<CRenderMesh> BuildSharedMesh(CRenderPools& pools, EShading shadingMode,
                                             std::vector<CScanVertex> vertices,
                                             std::span<const uint32_t> corners,
                                             const CRenderMaterial* material, int firstRow,
                                             int lastRow);

// Whether a triangle whose corners lie on rows a, b and c may reach the rows firstRow..lastRow:
// a mesh loading it for those rows keeps it only then (false only where the mesh would drop it).
bool MayReachRows(float a, float b, float c, int firstRow, int lastRow);

// The leaf's share of the tree's per-row update: the row's spans set up and clipped to the
// render rectangle's columns, sorted by first column and left pending for RawFragments, with
// the leftmost and rightmost columns of the row; with `wanted`, only the spans reaching its
// columns (see WalkRow).
void AdvanceLeafToRow(CRenderMesh& mesh, int row, int firstColumn, int lastColumn,
                      const CWantedColumns* wanted = nullptr);

}  // namespace orva
