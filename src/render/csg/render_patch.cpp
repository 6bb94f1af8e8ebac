#include "render/csg/render_patch.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "render/tessellation/unit_vectors.h"

namespace orva {

namespace {

// Everything of a sample but its window position, which ProjectedVertex gives.
void CompleteSample(CScanVertex& v, const CPatchTessellation& patch, int i, int j,
                    const CLeafView& view) {
    const std::size_t at = static_cast<std::size_t>(i) * patch.cols + j;
    const CVector3 tu = TransformDirection(patch.tangentU[at], view.eye);
    const CVector3 tv = TransformDirection(patch.tangentV[at], view.eye);
    v.normal = UnitCross(tu, tv);
    if (view.shadingMode != EShading::kVertexColours) {
        v.point = patch.positions[at];
        v.tangentU = tu;
        v.tangentV = tv;
        v.u = static_cast<float>(i) / static_cast<float>(patch.rows - 1);
        v.v = static_cast<float>(j) / static_cast<float>(patch.cols - 1);
    }
}

CScanVertex SampleVertex(const CPatchTessellation& patch, int i, int j, const CLeafView& view) {
    CScanVertex v =
        ProjectedVertex(patch.positions[static_cast<std::size_t>(i) * patch.cols + j], view);
    CompleteSample(v, patch, i, j, view);
    return v;
}

// The samples of a patch in one view, projected at once (their rows decide which triangles a
// band keeps) and completed only where a kept triangle uses them.
class CProjectedSamples {
public:
    CProjectedSamples(const CPatchTessellation& patch, const CLeafView& view)
        : m_patch(patch), m_view(view), m_complete(patch.positions.size(), false) {
        // Projected in place: a record built aside and copied in waits on its own stores.
        m_vertices.resize(patch.positions.size());
        for (std::size_t k = 0; k < m_vertices.size(); ++k) {
            ProjectInto(m_vertices[k], patch.positions[k], view);
        }
    }
    // The cell's triangle through grid points a, b and c, when it may reach the rows.
    void AddTriangle(int ai, int aj, int bi, int bj, int ci, int cj,
                     std::vector<uint32_t>& corners) {
        const uint32_t a = Use(ai, aj);
        const uint32_t b = Use(bi, bj);
        const uint32_t c = Use(ci, cj);
        if (MayReachRows(m_vertices[a].y, m_vertices[b].y, m_vertices[c].y, m_view.firstRow,
                         m_view.lastRow)) {
            Complete(a, ai, aj);
            Complete(b, bi, bj);
            Complete(c, ci, cj);
            corners.insert(corners.end(), {a, b, c});
        }
    }
    std::vector<CScanVertex> Take() { return std::move(m_vertices); }

private:
    uint32_t Use(int i, int j) const { return static_cast<uint32_t>(i * m_patch.cols + j); }
    void Complete(uint32_t k, int i, int j) {
        if (!m_complete[k]) {
            CompleteSample(m_vertices[k], m_patch, i, j, m_view);
            m_complete[k] = true;
        }
    }

    const CPatchTessellation& m_patch;
    const CLeafView& m_view;
    std::vector<CScanVertex> m_vertices;
    std::vector<bool> m_complete;
};

constexpr std::size_t kCornersKept = std::size_t(1) << 18;

struct CRowRange {
    int first = 0;
    int end = 0;
};

// The surface lies in the convex hull of its net, and a projection keeps a point inside the
// hull of the projected net, so the net's rows bound the surface's. Far-off rows are held
// within an int, at the same bound for every part of the picture, so that nodes sort alike in
// every band. False when a point is not finite.
bool EstimateRows(const CControlNet& net, const CLeafView& view, CRowRange& rows) {
    double top = std::numeric_limits<double>::infinity();
    double bottom = -top;
    for (const CVector3& p : net.points) {
        const float y = ProjectedVertex(p, view).y;
        if (!IsFinitePoint(p) || std::isnan(y)) {
            return false;
        }
        top = std::min(top, static_cast<double>(y));
        bottom = std::max(bottom, static_cast<double>(y));
    }
    constexpr double lowest = -double(1 << 30);
    constexpr double highest = double(1 << 30);
    rows.first = static_cast<int>(std::clamp(std::floor(top), lowest, highest));
    rows.end = static_cast<int>(std::clamp(std::ceil(bottom) + 1.0, lowest, highest));
    return true;
}

}  // namespace

CRenderPatch::CRenderPatch(CRenderPools& pools, const CLeafView& view,
                           std::shared_ptr<const CObjectTessellation> owner,
                           const CPatchTessellation& patch)
    : CRenderMesh(pools, view.shadingMode),
      m_recordPools(pools),
      m_view(view),
      m_owner(std::move(owner)),
      m_patch(&patch) {}

CPatchSamples CRenderPatch::Samples() const {
    CPatchSamples samples;
    if (m_owner == nullptr || m_patch->rows < 2 || m_patch->cols < 2) {
        return samples;
    }
    samples.rows = m_patch->rows;
    samples.cols = m_patch->cols;
    samples.vertices.reserve(m_patch->positions.size());
    for (int i = 0; i < samples.rows; ++i) {
        for (int j = 0; j < samples.cols; ++j) {
            samples.vertices.push_back(SampleVertex(*m_patch, i, j, m_view));
        }
    }
    return samples;
}

void CRenderPatch::Activate(int row) {
    if (m_activated) {
        return;
    }
    m_activated = true;
    CLeafView rows = m_view;
    rows.firstRow = std::max(row, m_view.firstRow);
    std::vector<CScanVertex> vertices;
    // The corners only pass through to the loading: scratch kept by the thread, as patches are
    // activated by the thousand.
    thread_local std::vector<uint32_t> corners;
    corners.clear();
    if (m_owner != nullptr && m_patch->rows >= 2 && m_patch->cols >= 2) {
        CProjectedSamples samples(*m_patch, rows);
        // Both triangles of a cell turn the way (u, v) does, so the cross product of the
        // derivatives is their winding normal and a closed surface is wound consistently.
        for (int i = 0; i + 1 < m_patch->rows; ++i) {
            for (int j = 0; j + 1 < m_patch->cols; ++j) {
                samples.AddTriangle(i, j, i + 1, j, i + 1, j + 1, corners);
                samples.AddTriangle(i, j, i + 1, j + 1, i, j + 1, corners);
            }
        }
        vertices = samples.Take();
    }
    m_owner.reset();
    LoadSharedTriangles(std::move(vertices), corners, rows.firstRow, rows.lastRow);
    if (corners.capacity() > kCornersKept) {
        corners = {};  // one huge patch must not pin its memory for the thread's life
    }
}

std::unique_ptr<CRenderPatch> MakeRenderPatch(CRenderPools& pools, const CLeafView& view,
                                              std::shared_ptr<const CObjectTessellation> owner,
                                              const CPatchTessellation& patch,
                                              const CRenderMaterial* material) {
    CRowRange rows;
    const CControlNet& net = patch.net;
    if (view.lastRow < view.firstRow || net.rows < 4 || net.cols < 4 ||
        !EstimateRows(net, view, rows)) {
        return nullptr;
    }
    if (rows.first > view.lastRow || rows.end <= view.firstRow) {
        return nullptr;
    }
    auto leaf = std::make_unique<CRenderPatch>(pools, view, std::move(owner), patch);
    leaf->material = material;
    leaf->firstRow = rows.first;
    leaf->endRow = rows.end;
    return leaf;
}

}  // namespace orva
