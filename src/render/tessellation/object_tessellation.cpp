#include "render/tessellation/object_tessellation.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <span>

#include "geometry/triangulate.h"
#include "render/tessellation/cap_contours.h"
#include "render/tessellation/unit_vectors.h"
#include "scene/extrusion.h"
#include "scene/poly_mesh.h"
#include "scene/surface.h"

namespace orva {

namespace {

// A derivative this small in every component says nothing about the surface's direction: the
// net has collapsed there, as at a pole.
constexpr float kDegenerateDerivative = 0.0001f;
// Below this the cap's bounding box has no usable extent for texture coordinates.
constexpr float kFlatBox = 0.00001f;
// A face whose normal lies within about 26 degrees of the average round a vertex takes that
// average there; faces further off keep their own, so sharp edges stay creased.
constexpr float kSmoothCosine = 0.9f;

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

CSplineEnds Ends(const CSurfaceDirection& d) {
    return {d.freeStart != 0, d.freeEnd != 0, d.closed != 0};
}

CControlNet ExtendedNet(const CSurface& surface) {
    return ExtendControlNet(surface.points, surface.nu, surface.nv, Ends(surface.u),
                            Ends(surface.v));
}

// A net with a point that is not finite, or too small to describe a surface, is never drawn:
// it is not sampled either.
bool CanSample(const CControlNet& net) {
    return net.rows >= 4 && net.cols >= 4 &&
           std::all_of(net.points.begin(), net.points.end(),
                       [](CVector3 p) { return IsFinitePoint(p); });
}

CPatchTessellation SamplePatch(CControlNet net, const CSurface& surface) {
    CPatchTessellation patch;
    patch.net = std::move(net);
    if (!CanSample(patch.net)) {
        return patch;
    }
    const CSurfaceGrid grid = EvaluateSurfaceGrid(
        BSPLINE_BASIS, patch.net.points, patch.net.rows, patch.net.cols,
        std::max(surface.u.stepsPerSpan, 1), std::max(surface.v.stepsPerSpan, 1), true);
    if (grid.Empty() || grid.rows < 2 || grid.cols < 2) {
        return patch;
    }
    patch.rows = grid.rows;
    patch.cols = grid.cols;
    patch.positions = grid.positions;
    patch.tangentU.reserve(grid.positions.size());
    patch.tangentV.reserve(grid.positions.size());
    for (int i = 0; i < grid.rows; ++i) {
        for (int j = 0; j < grid.cols; ++j) {
            patch.tangentU.push_back(DerivativeU(grid, i, j));
            patch.tangentV.push_back(DerivativeV(grid, i, j));
        }
    }
    return patch;
}

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

void SetTextureBox(const CCapContours& contours, CCapTessellation& cap) {
    constexpr float kFar = std::numeric_limits<float>::infinity();
    CVector3 lo{kFar, kFar, kFar};
    CVector3 hi{-kFar, -kFar, -kFar};
    for (const std::vector<CVector3>& contour : contours.contours) {
        for (const CVector3& p : contour) {
            for (int a = 0; a < 3; ++a) {
                lo[a] = std::min(lo[a], p[a]);
                hi[a] = std::max(hi[a], p[a]);
            }
        }
    }
    const float extent = std::max({hi.x - lo.x, hi.y - lo.y, hi.z - lo.z});
    cap.boxMin = lo;
    // The larger side of the box maps to 0..1, so the texture keeps its aspect.
    cap.scale = extent > kFlatBox ? 1.0f / extent : 1.0f;
}

CCapTessellation TriangulateCap(const CCapContours& contours) {
    CCapTessellation cap;
    cap.normal = contours.normal;
    const CVector3 zero;
    if (!IsFinitePoint(cap.normal) || cap.normal == zero || contours.contours.empty()) {
        return cap;
    }
    const int axis = FacingAxis(cap.normal);
    cap.axisU = (axis + 1) % 3;
    cap.axisV = (axis + 2) % 3;
    SetTextureBox(contours, cap);
    const std::vector<std::span<const CVector3>> spans(contours.contours.begin(),
                                                       contours.contours.end());
    Triangulate(spans, [&](const CVector3& a, const CVector3& b, const CVector3& c) {
        cap.corners.insert(cap.corners.end(), {a, b, c});
    });
    return cap;
}

void AddCaps(const std::vector<CCapContours>& contours, CObjectTessellation& t) {
    for (const CCapContours& cap : contours) {
        t.caps.push_back(TriangulateCap(cap));
    }
}

CObjectTessellation TessellateSurface(const CSurface& surface) {
    CObjectTessellation t;
    if (!surface.HasValidNet()) {
        return t;
    }
    CControlNet net = ExtendedNet(surface);
    AddCaps(SurfaceCapContours(surface, net), t);
    t.patches.push_back(SamplePatch(std::move(net), surface));
    return t;
}

CObjectTessellation TessellateExtrusion(const CExtrusion& extrusion) {
    CObjectTessellation t;
    for (const CSceneObject* o = extrusion.surfaces.first; o != nullptr; o = o->next) {
        const auto* surface = dynamic_cast<const CSurface*>(o);
        if (surface == nullptr || !surface->HasValidNet()) {
            continue;
        }
        CControlNet net = ExtendedNet(*surface);
        for (CVector3& p : net.points) {
            p = TransformPoint(p, extrusion.placement);
        }
        t.patches.push_back(SamplePatch(std::move(net), *surface));
    }
    AddCaps(ExtrusionCapContours(extrusion), t);
    return t;
}

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

std::size_t CornerIndex(const CPolyMesh& mesh, const CPolygon& polygon, int k) {
    return static_cast<std::size_t>(
        mesh.vertexIndices[polygon.first + static_cast<std::size_t>(k)]);
}

const CVector3& Corner(const CPolyMesh& mesh, const CPolygon& polygon, int k) {
    return mesh.points[CornerIndex(mesh, polygon, k)];
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
            AddInPlace(sums[CornerIndex(mesh, polygon, k)], polygon.faceNormal);
        }
    }
    for (CVector3& sum : sums) {
        sum = UnitDirection(sum);
    }
    return sums;
}

// The polygon's corners with their normals, and its triangles in the polygon's order, which
// decides the side its crossings count as entering.
void AddPolygon(const CPolyMesh& mesh, const CPolygon& polygon, const std::vector<CVector3>& smooth,
                CPolygonTessellation& t) {
    const std::size_t base = t.points.size();
    for (int k = 0; k < polygon.size; ++k) {
        CVector3 n = polygon.faceNormal;
        if (!smooth.empty()) {
            const CVector3& s = smooth[CornerIndex(mesh, polygon, k)];
            if (DotProduct(s, n) >= kSmoothCosine) {
                n = s;
            }
        }
        t.points.push_back(Corner(mesh, polygon, k));
        t.normals.push_back(n);
    }
    const auto corner = [base](std::ptrdiff_t k) { return static_cast<uint32_t>(base + k); };
    if (polygon.size == 3) {
        t.triangles.insert(t.triangles.end(), {corner(0), corner(1), corner(2)});
        return;
    }
    // The triangulator hands back references into the contour; their offsets name the corners.
    const std::span<const CVector3> contour(t.points.data() + base,
                                            static_cast<std::size_t>(polygon.size));
    const CVector3* first = contour.data();
    Triangulate(contour, [&](const CVector3& a, const CVector3& b, const CVector3& c) {
        const std::ptrdiff_t ia = &a - first;
        const std::ptrdiff_t ib = &b - first;
        const std::ptrdiff_t ic = &c - first;
        const std::ptrdiff_t n = polygon.size;
        if (ia < 0 || ib < 0 || ic < 0 || ia >= n || ib >= n || ic >= n) {
            return;
        }
        t.triangles.insert(t.triangles.end(), {corner(ia), corner(ib), corner(ic)});
    });
}

CPolygonTessellation TessellatePolyMesh(const CPolyMesh& mesh) {
    CPolygonTessellation t;
    const std::vector<CPolygon> polygons = DrawablePolygons(mesh);
    const std::vector<CVector3> smooth =
        mesh.flatShading != 0 ? std::vector<CVector3>{} : SmoothNormals(mesh, polygons);
    for (const CPolygon& polygon : polygons) {
        AddPolygon(mesh, polygon, smooth, t);
    }
    return t;
}

}  // namespace

std::size_t CObjectTessellation::Bytes() const {
    std::size_t bytes = sizeof(*this);
    for (const CPatchTessellation& p : patches) {
        bytes += sizeof(p) + sizeof(CVector3) * (p.net.points.capacity() + p.positions.capacity() +
                                                 p.tangentU.capacity() + p.tangentV.capacity());
    }
    for (const CCapTessellation& c : caps) {
        bytes += sizeof(c) + sizeof(CVector3) * c.corners.capacity();
    }
    bytes += sizeof(CVector3) * (polygons.points.capacity() + polygons.normals.capacity());
    bytes += sizeof(uint32_t) * polygons.triangles.capacity();
    return bytes;
}

CObjectTessellation TessellateObject(const CSceneObject& object) {
    CObjectTessellation t;
    switch (object.GetTypeId()) {
        case kTypeSurface:
            return TessellateSurface(static_cast<const CSurface&>(object));
        case kTypeExtrusion:
            return TessellateExtrusion(static_cast<const CExtrusion&>(object));
        case kTypePolyMesh:
            t.polygons = TessellatePolyMesh(static_cast<const CPolyMesh&>(object));
            return t;
        default:
            return t;
    }
}

}  // namespace orva
