#include "render/csg/flat_cap.h"

#include <vector>

#include "render/tessellation/unit_vectors.h"

namespace orva {

namespace {

// What every vertex of one cap shares in a view: its lighting frame.
struct CCapFrame {
    CVector3 normal;  // eye space, unit
    CVector3 tangentU;
    CVector3 tangentV;
};

CCapFrame MakeFrame(const CCapTessellation& cap, const CLeafView& view) {
    CCapFrame frame;
    const CVector3 n = UnitDirection(TransformDirection(cap.normal, view.eye));
    frame.normal = n;
    frame.tangentU = {n.y, -n.x, 0.0f};
    frame.tangentV = CrossProduct(n, frame.tangentU);
    return frame;
}

CScanVertex CapVertex(CVector3 p, const CCapTessellation& cap, const CCapFrame& frame,
                      const CLeafView& view) {
    CScanVertex v = ProjectedVertex(p, view);
    v.normal = frame.normal;
    if (view.shadingMode != EShading::kVertexColours) {
        v.point = p;
        v.tangentU = frame.tangentU;
        v.tangentV = frame.tangentV;
        v.u = (p[cap.axisU] - cap.boxMin[cap.axisU]) * cap.scale;
        v.v = (p[cap.axisV] - cap.boxMin[cap.axisV]) * cap.scale;
    }
    return v;
}

}  // namespace

std::unique_ptr<CRenderMesh> BuildFlatCap(CRenderPools& pools, const CLeafView& view,
                                          const CCapTessellation& cap,
                                          const CRenderMaterial* material) {
    if (cap.corners.size() < 3) {
        return nullptr;
    }
    const CCapFrame frame = MakeFrame(cap, view);
    std::vector<CScanVertex> vertices;
    std::vector<uint32_t> corners;
    for (std::size_t k = 0; k + 2 < cap.corners.size(); k += 3) {
        const CScanVertex a = CapVertex(cap.corners[k], cap, frame, view);
        const CScanVertex b = CapVertex(cap.corners[k + 1], cap, frame, view);
        const CScanVertex c = CapVertex(cap.corners[k + 2], cap, frame, view);
        if (MayReachRows(a.y, b.y, c.y, view.firstRow, view.lastRow)) {
            const auto first = static_cast<uint32_t>(vertices.size());
            vertices.insert(vertices.end(), {a, b, c});
            corners.insert(corners.end(), {first, first + 1, first + 2});
        }
    }
    return BuildSharedMesh(pools, view.shadingMode, std::move(vertices), corners, material,
                           view.firstRow, view.lastRow);
}

}  // namespace orva
