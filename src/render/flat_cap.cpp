#include "render/flat_cap.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "geometry/triangulate.h"
#include "render/triangle_chain.h"
#include "render/unit_vectors.h"

namespace orva {

namespace {

// Below this the cap's bounding box has no usable extent for texture coordinates.
constexpr float kFlatBox = 0.00001f;

// What every vertex of one cap shares: its lighting frame and its planar texture projection.
struct CCapFrame {
    CVector3 normal;  // eye space, unit
    CVector3 tangentU;
    CVector3 tangentV;
    int axisU = 0;  // object axes that give the texture coordinates
    int axisV = 1;
    CVector3 boxMin;
    float scale = 1.0f;
};

// The axis the cap faces most (the later one on a tie); the map is laid on the other two.
int FacingAxis(CVector3 n) {
    int axis = 0;
    for (int a = 1; a < 3; ++a) {
        if (std::fabs(n[a]) >= std::fabs(n[axis])) {
            axis = a;
        }
    }
    return axis;
}

void SetTextureBox(std::span<const std::span<const CVector3>> contours, CCapFrame& frame) {
    constexpr float kFar = std::numeric_limits<float>::infinity();
    CVector3 lo{kFar, kFar, kFar};
    CVector3 hi{-kFar, -kFar, -kFar};
    for (const std::span<const CVector3> contour : contours) {
        for (const CVector3& p : contour) {
            for (int a = 0; a < 3; ++a) {
                lo[a] = std::min(lo[a], p[a]);
                hi[a] = std::max(hi[a], p[a]);
            }
        }
    }
    const float extent = std::max({hi.x - lo.x, hi.y - lo.y, hi.z - lo.z});
    frame.boxMin = lo;
    // The larger side of the box maps to 0..1, so the texture keeps its aspect.
    frame.scale = extent > kFlatBox ? 1.0f / extent : 1.0f;
}

CCapFrame MakeFrame(std::span<const std::span<const CVector3>> contours, CVector3 objectNormal,
                    const CLeafView& view) {
    CCapFrame frame;
    const CVector3 n = UnitDirection(TransformDirection(objectNormal, view.eye));
    frame.normal = n;
    frame.tangentU = {n.y, -n.x, 0.0f};
    frame.tangentV = CrossProduct(n, frame.tangentU);
    const int axis = FacingAxis(objectNormal);
    frame.axisU = (axis + 1) % 3;
    frame.axisV = (axis + 2) % 3;
    SetTextureBox(contours, frame);
    return frame;
}

CScanVertex CapVertex(CVector3 p, const CCapFrame& frame, const CLeafView& view) {
    CScanVertex v = ProjectedVertex(p, view);
    v.normal = frame.normal;
    if (view.shadingMode != EShading::kVertexColours) {
        v.point = p;
        v.tangentU = frame.tangentU;
        v.tangentV = frame.tangentV;
        v.u = (p[frame.axisU] - frame.boxMin[frame.axisU]) * frame.scale;
        v.v = (p[frame.axisV] - frame.boxMin[frame.axisV]) * frame.scale;
    }
    return v;
}

}  // namespace

std::unique_ptr<CRenderMesh> BuildFlatCap(CRenderPools& pools, const CLeafView& view,
                                          std::span<const std::span<const CVector3>> contours,
                                          CVector3 objectNormal, const CRenderMaterial* material) {
    const CVector3 zero;
    if (!IsFinitePoint(objectNormal) || objectNormal == zero || contours.empty()) {
        return nullptr;
    }
    const CCapFrame frame = MakeFrame(contours, objectNormal, view);
    CTriangleChain chain(pools);
    Triangulate(contours, [&](const CVector3& a, const CVector3& b, const CVector3& c) {
        chain.Add(CapVertex(a, frame, view), CapVertex(b, frame, view), CapVertex(c, frame, view));
    });
    if (chain.Empty()) {
        return nullptr;
    }
    return BuildMesh(pools, view.shadingMode, chain.Take(), material, view.firstRow, view.lastRow);
}

}  // namespace orva
