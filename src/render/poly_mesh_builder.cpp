#include <cstdint>
#include <span>
#include <vector>

#include "geometry/triangulate.h"
#include "render/leaf_view.h"
#include "render/mesh_builders.h"
#include "render/render_context.h"
#include "render/render_material.h"
#include "render/render_mesh.h"
#include "render/triangle_chain.h"
#include "render/unit_vectors.h"
#include "scene/poly_mesh.h"

namespace orva {

namespace {

// A face whose normal lies within about 26 degrees of the average round a vertex takes that
// average there; faces further off keep their own, so sharp edges stay creased.
constexpr float kSmoothCosine = 0.9f;

struct CPolygon {
    std::size_t first = 0;  // into vertexIndices
    int size = 0;
    CVector3 faceNormal;  // model space, unit (zero when the corners give none)
};

bool IndicesInRange(const CPolyMesh& mesh, std::size_t first, int size) {
    for (int k = 0; k < size; ++k) {
        const int32_t index = mesh.vertexIndices[first + static_cast<std::size_t>(k)];
        if (index < 0 || static_cast<std::size_t>(index) >= mesh.points.size()) {
            return false;
        }
    }
    return true;
}

const CVector3& Corner(const CPolyMesh& mesh, const CPolygon& polygon, int k) {
    return mesh.points[static_cast<std::size_t>(
        mesh.vertexIndices[polygon.first + static_cast<std::size_t>(k)])];
}

// The polygons that can be drawn, with their face normals from their first three corners.
// Reading has dropped broken polygons already; a mesh built otherwise is checked again, and the
// walk stops where the sizes no longer fit the index array.
std::vector<CPolygon> DrawablePolygons(const CPolyMesh& mesh) {
    std::vector<CPolygon> polygons;
    std::size_t first = 0;
    for (const int32_t size : mesh.polygonSizes) {
        if (size < 0 || static_cast<std::size_t>(size) > mesh.vertexIndices.size() - first) {
            break;
        }
        if (size >= 3 && IndicesInRange(mesh, first, size)) {
            CPolygon polygon{first, size, {}};
            const CVector3& a = Corner(mesh, polygon, 0);
            const CVector3& b = Corner(mesh, polygon, 1);
            const CVector3& c = Corner(mesh, polygon, 2);
            polygon.faceNormal = UnitFaceNormal(a, b, c);
            polygons.push_back(polygon);
        }
        first += static_cast<std::size_t>(size);
    }
    return polygons;
}

// The unit average of the face normals round every vertex. A face without a normal (broken or
// collinear corners) has the zero vector and so adds nothing to its neighbours.
std::vector<CVector3> SmoothNormals(const CPolyMesh& mesh, const std::vector<CPolygon>& polygons) {
    std::vector<CVector3> sums(mesh.points.size());
    for (const CPolygon& polygon : polygons) {
        for (int k = 0; k < polygon.size; ++k) {
            const int32_t index = mesh.vertexIndices[polygon.first + static_cast<std::size_t>(k)];
            AddInPlace(sums[static_cast<std::size_t>(index)], polygon.faceNormal);
        }
    }
    for (CVector3& sum : sums) {
        sum = UnitDirection(sum);
    }
    return sums;
}

class CPolyMeshTriangles {
public:
    CPolyMeshTriangles(const CPolyMesh& mesh, const CLeafView& view, CRenderPools& pools)
        : m_mesh(mesh), m_view(view), m_chain(pools) {}

    void Add(const CPolygon& polygon, const std::vector<CVector3>& smooth);
    CScanVertex* Take() { return m_chain.Take(); }

private:
    CScanVertex Vertex(const CPolygon& polygon, int k, const std::vector<CVector3>& smooth) const;

    const CPolyMesh& m_mesh;
    const CLeafView& m_view;
    CTriangleChain m_chain;
    std::vector<CScanVertex> m_corners;
    std::vector<CVector3> m_contour;
};

CScanVertex CPolyMeshTriangles::Vertex(const CPolygon& polygon, int k,
                                       const std::vector<CVector3>& smooth) const {
    const int32_t index = m_mesh.vertexIndices[polygon.first + static_cast<std::size_t>(k)];
    const CVector3& p = m_mesh.points[static_cast<std::size_t>(index)];
    CVector3 n = polygon.faceNormal;
    if (!smooth.empty()) {
        const CVector3& s = smooth[static_cast<std::size_t>(index)];
        if (DotProduct(s, n) >= kSmoothCosine) {
            n = s;
        }
    }
    CScanVertex v = ProjectedVertex(p, m_view);
    v.normal = UnitDirection(TransformDirection(n, m_view.eye));
    if (m_view.shadingMode != EShading::kVertexColours) {
        v.point = p;
    }
    return v;
}

// Triangles keep the polygon's order, which decides the side its crossings count as entering.
void CPolyMeshTriangles::Add(const CPolygon& polygon, const std::vector<CVector3>& smooth) {
    m_corners.clear();
    m_contour.clear();
    for (int k = 0; k < polygon.size; ++k) {
        m_corners.push_back(Vertex(polygon, k, smooth));
        m_contour.push_back(Corner(m_mesh, polygon, k));
    }
    if (polygon.size == 3) {
        m_chain.Add(m_corners[0], m_corners[1], m_corners[2]);
        return;
    }
    // The triangulator hands back references into the contour; their offsets name the corners.
    const CVector3* base = m_contour.data();
    Triangulate(m_contour, [&](const CVector3& a, const CVector3& b, const CVector3& c) {
        const std::ptrdiff_t ia = &a - base;
        const std::ptrdiff_t ib = &b - base;
        const std::ptrdiff_t ic = &c - base;
        const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(m_corners.size());
        if (ia < 0 || ib < 0 || ic < 0 || ia >= n || ib >= n || ic >= n) {
            return;
        }
        m_chain.Add(m_corners[static_cast<std::size_t>(ia)],
                    m_corners[static_cast<std::size_t>(ib)],
                    m_corners[static_cast<std::size_t>(ic)]);
    });
}

}  // namespace

std::unique_ptr<CRenderNode> BuildPolyMeshNode(CRenderContext& ctx, const CPolyMesh& mesh,
                                               const char* materialName) {
    const CLeafView view = CaptureLeafView(ctx);
    const CRenderMaterial& material = LoadObjectMaterial(ctx, mesh, materialName);
    const std::vector<CPolygon> polygons = DrawablePolygons(mesh);
    const std::vector<CVector3> smooth =
        mesh.flatShading != 0 ? std::vector<CVector3>{} : SmoothNormals(mesh, polygons);
    CPolyMeshTriangles triangles(mesh, view, ctx.pools);
    for (const CPolygon& polygon : polygons) {
        triangles.Add(polygon, smooth);
    }
    return BuildMesh(ctx.pools, view.shadingMode, triangles.Take(), &material, view.firstRow,
                     view.lastRow);
}

}  // namespace orva
