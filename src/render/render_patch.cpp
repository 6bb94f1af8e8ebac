#include "render/render_patch.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "geometry/bspline_basis.h"
#include "render/triangle_chain.h"
#include "render/unit_vectors.h"

namespace orva {

namespace {

// A derivative this small in every component says nothing about the surface's direction: the
// net has collapsed there, as at a pole.
constexpr float kDegenerateDerivative = 0.0001f;

bool IsDegenerate(CVector3 d) {
    return std::fabs(d.x) < kDegenerateDerivative && std::fabs(d.y) < kDegenerateDerivative &&
           std::fabs(d.z) < kDegenerateDerivative;
}

// du changes along a grid column, so where it vanishes (a collapsed net column) the
// neighbour in the same grid row lies on another column and still has one.
CVector3 DerivativeU(const CSurfaceGrid& grid, int i, int j) {
    const CVector3 d = grid.du[grid.Index(i, j)];
    if (!IsDegenerate(d) || grid.cols < 2) {
        return d;
    }
    return grid.du[grid.Index(i, j == 0 ? 1 : j - 1)];
}

// dv changes along a grid row; where a whole row has collapsed into a pole the neighbour in
// the same grid column lies on the next row, where dv is the tangent of a ring round the pole.
CVector3 DerivativeV(const CSurfaceGrid& grid, int i, int j) {
    const CVector3 d = grid.dv[grid.Index(i, j)];
    if (!IsDegenerate(d) || grid.rows < 2) {
        return d;
    }
    return grid.dv[grid.Index(i == 0 ? 1 : i - 1, j)];
}

CScanVertex SampleVertex(const CSurfaceGrid& grid, int i, int j, const CLeafView& view) {
    const CVector3 p = grid.positions[grid.Index(i, j)];
    CScanVertex v = ProjectedVertex(p, view);
    const CVector3 tu = TransformDirection(DerivativeU(grid, i, j), view.eye);
    const CVector3 tv = TransformDirection(DerivativeV(grid, i, j), view.eye);
    v.normal = UnitCross(tu, tv);
    if (view.shadingMode != EShading::kVertexColours) {
        v.point = p;
        v.tangentU = tu;
        v.tangentV = tv;
        v.u = static_cast<float>(i) / static_cast<float>(grid.rows - 1);
        v.v = static_cast<float>(j) / static_cast<float>(grid.cols - 1);
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

CRenderPatch::CRenderPatch(CRenderPools& pools, const CLeafView& view, CControlNet net,
                           CPatchSteps steps)
    : CRenderMesh(pools, view.shadingMode),
      m_recordPools(pools),
      m_view(view),
      m_net(std::move(net)),
      m_steps(steps) {}

CPatchSamples CRenderPatch::Samples() const {
    CPatchSamples samples;
    const CSurfaceGrid grid =
        EvaluateSurfaceGrid(BSPLINE_BASIS, m_net.points, m_net.rows, m_net.cols,
                            std::max(m_steps.u, 1), std::max(m_steps.v, 1), true);
    if (grid.Empty() || grid.rows < 2 || grid.cols < 2) {
        return samples;
    }
    samples.rows = grid.rows;
    samples.cols = grid.cols;
    samples.vertices.reserve(grid.positions.size());
    for (int i = 0; i < grid.rows; ++i) {
        for (int j = 0; j < grid.cols; ++j) {
            samples.vertices.push_back(SampleVertex(grid, i, j, m_view));
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
    m_net = {};
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
                                              CControlNet net, CPatchSteps steps,
                                              const CRenderMaterial* material) {
    CRowRange rows;
    if (view.lastRow < view.firstRow || net.rows < 4 || net.cols < 4 ||
        !EstimateRows(net, view, rows)) {
        return nullptr;
    }
    if (rows.first > view.lastRow || rows.end <= view.firstRow) {
        return nullptr;
    }
    auto patch = std::make_unique<CRenderPatch>(pools, view, std::move(net), steps);
    patch->material = material;
    patch->firstRow = rows.first;
    patch->endRow = rows.end;
    return patch;
}

}  // namespace orva
