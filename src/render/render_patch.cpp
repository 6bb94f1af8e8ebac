#include "render/render_patch.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "render/triangle_chain.h"
#include "render/unit_vectors.h"

namespace orva {

namespace {

CScanVertex SampleVertex(const CPatchTessellation& patch, int i, int j, const CLeafView& view) {
    const std::size_t at = static_cast<std::size_t>(i) * patch.cols + j;
    const CVector3 p = patch.positions[at];
    CScanVertex v = ProjectedVertex(p, view);
    const CVector3 tu = TransformDirection(patch.tangentU[at], view.eye);
    const CVector3 tv = TransformDirection(patch.tangentV[at], view.eye);
    v.normal = UnitCross(tu, tv);
    if (view.shadingMode != EShading::kVertexColours) {
        v.point = p;
        v.tangentU = tu;
        v.tangentV = tv;
        v.u = static_cast<float>(i) / static_cast<float>(patch.rows - 1);
        v.v = static_cast<float>(j) / static_cast<float>(patch.cols - 1);
    }
    return v;
}

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
    const CPatchSamples samples = Samples();
    m_owner.reset();
    CTriangleChain chain(m_recordPools);
    const auto at = [&](int i, int j) -> const CScanVertex& {
        return samples.vertices[static_cast<std::size_t>(i) * samples.cols + j];
    };
    // Both triangles of a cell turn the way (u, v) does, so the cross product of the
    // derivatives is their winding normal and a closed surface is wound consistently.
    for (int i = 0; i + 1 < samples.rows; ++i) {
        for (int j = 0; j + 1 < samples.cols; ++j) {
            chain.Add(at(i, j), at(i + 1, j), at(i + 1, j + 1));
            chain.Add(at(i, j), at(i + 1, j + 1), at(i, j + 1));
        }
    }
    LoadTriangles(chain.Take(), std::max(row, m_view.firstRow), m_view.lastRow);
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
