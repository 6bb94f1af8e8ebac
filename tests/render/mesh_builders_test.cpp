#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <numbers>
#include <ostream>
#include <utility>
#include <vector>

#include "fragment_walk.h"
#include "geometry/matrix4.h"
#include "geometry/vector3.h"
#include "render/csg/render_mesh.h"
#include "render/csg/render_patch.h"
#include "render/mesh_builders.h"
#include "render/shading/render_material.h"
#include "render/render_context.h"
#include "scene/extrusion.h"
#include "scene/extrusion_generator.h"
#include "scene/poly_mesh.h"
#include "scene/surface.h"

namespace orva {
namespace {

// The picture: 100 x 100 pixels, 10 pixels per eye-space unit, rows growing downwards. The
// eye origin sits off the pixel grid so that no edge of the test objects runs through a pixel
// centre.
constexpr int kSize = 100;
constexpr float kScale = 10.0f;
constexpr float kCentreX = 50.3f;
constexpr float kCentreY = 49.6f;
constexpr float kPi = std::numbers::pi_v<float>;

CVector3 ToWindow(CVector3 eye) {
    return {eye.x * kScale + kCentreX, kCentreY - eye.y * kScale, eye.z * kScale};
}

CVector3 FromWindow(float x, float y, float depth) {
    return {(x - kCentreX) / kScale, (kCentreY - y) / kScale, depth / kScale};
}

// Row-vector rotations (p' = p * M) about x, then about y.
CMatrix4 Rotation(float aboutX, float aboutY) {
    const float cx = std::cos(aboutX);
    const float sx = std::sin(aboutX);
    const float cy = std::cos(aboutY);
    const float sy = std::sin(aboutY);
    CMatrix4 rx;
    rx.At(1, 1) = cx;
    rx.At(1, 2) = sx;
    rx.At(2, 1) = -sx;
    rx.At(2, 2) = cx;
    CMatrix4 ry;
    ry.At(0, 0) = cy;
    ry.At(0, 2) = -sy;
    ry.At(2, 0) = sy;
    ry.At(2, 2) = cy;
    return Multiply(rx, ry);
}

// Where the model axis `row` points in eye space under a rotation.
CVector3 AxisOf(const CMatrix4& m, int row) {
    return {m.At(row, 0), m.At(row, 1), m.At(row, 2)};
}

CVector3 Apply(const CMatrix4& m, CVector3 p) {
    CVector3 out;
    for (int c = 0; c < 3; ++c) {
        out[c] = p.x * m.At(0, c) + p.y * m.At(1, c) + p.z * m.At(2, c) + m.At(3, c);
    }
    return out;
}

bool Finite(CVector3 v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// A render context for the picture above with `eye` on top of the model matrix stack.
void PrepareContext(CRenderContext& ctx, EShading mode, const CMatrix4& eye = {}) {
    ctx.shadingModeSwitch = mode;
    ctx.renderRect = {0, kSize - 1, 0, kSize - 1};
    CMatrix4 t = CMatrix4::Scaling(kScale, -kScale, kScale);
    t.At(3, 0) = kCentreX;
    t.At(3, 1) = kCentreY;
    ctx.renderTransform = t;
    ctx.modelStack.SetTop(eye);
}

// ---------------------------------------------------------------------------------------
// Walking built nodes the way the renderer does.

struct CCrossing {
    float depth = 0.0f;
    int orientation = 0;
    CInterpolation values;
    const CRenderMesh* leaf = nullptr;
};

using CPicture = std::map<std::pair<int, int>, std::vector<CCrossing>>;

std::vector<CRenderMesh*> Leaves(CRenderNode& node) {
    if (node.kind == kNodeLeaf) {
        auto* mesh = dynamic_cast<CRenderMesh*>(&node);
        return mesh != nullptr ? std::vector<CRenderMesh*>{mesh} : std::vector<CRenderMesh*>{};
    }
    std::vector<CRenderMesh*> leaves;
    for (CRenderNode* child = node.pendingChildren; child != nullptr; child = child->link) {
        const std::vector<CRenderMesh*> more = Leaves(*child);
        leaves.insert(leaves.end(), more.begin(), more.end());
    }
    return leaves;
}

std::vector<CRenderPatch*> Patches(CRenderNode& node) {
    std::vector<CRenderPatch*> patches;
    for (CRenderMesh* leaf : Leaves(node)) {
        if (auto* patch = dynamic_cast<CRenderPatch*>(leaf)) {
            patches.push_back(patch);
        }
    }
    return patches;
}

// The leaf walked over the render rectangle as the row loop walks it. A patch is activated when
// the walk reaches its first row.
void WalkLeaf(CRenderContext& ctx, CRenderMesh& mesh, CPicture& picture) {
    mesh.Activate(std::max(mesh.firstRow, ctx.renderRect.y0));
    test::WalkFragments(ctx.pools, mesh, ctx.renderRect, [&](int x, int y, const CFragment& f) {
        picture[{x, y}].push_back(
            {f.depth, f.orientation, FragmentValues(f, x, mesh.ShadingMode()), &mesh});
    });
    mesh.ReleaseRowSpans();
}

// Every crossing of every leaf, front first per pixel.
CPicture Walk(CRenderContext& ctx, CRenderNode& node) {
    CPicture picture;
    for (CRenderMesh* leaf : Leaves(node)) {
        WalkLeaf(ctx, *leaf, picture);
    }
    for (auto& [pixel, crossings] : picture) {
        std::stable_sort(crossings.begin(), crossings.end(),
                         [](const CCrossing& a, const CCrossing& b) { return a.depth > b.depth; });
    }
    return picture;
}

int CountAt(const CPicture& picture, int x, int y) {
    const auto it = picture.find({x, y});
    return it == picture.end() ? 0 : static_cast<int>(it->second.size());
}

// A closed shell: along every eye ray the crossings alternate between entering and leaving,
// so they come in pairs of opposite orientation.
void ExpectPairedCrossings(const CPicture& picture) {
    int failures = 0;
    for (const auto& [pixel, crossings] : picture) {
        int sum = 0;
        bool alternating = true;
        for (std::size_t i = 0; i < crossings.size(); ++i) {
            sum += crossings[i].orientation;
            if (i > 0 && crossings[i].orientation == crossings[i - 1].orientation) {
                alternating = false;
            }
        }
        const bool ok = crossings.size() % 2 == 0 && sum == 0 && alternating;
        if (!ok && ++failures <= 10) {
            ADD_FAILURE() << "pixel " << pixel.first << "," << pixel.second << ": "
                          << crossings.size() << " crossings, orientation sum " << sum;
        }
    }
    EXPECT_EQ(failures, 0);
}

void ExpectAllRecordsReturned(CRenderContext& ctx) {
    EXPECT_EQ(ctx.pools.vertices.LiveCount(), 0u);
    EXPECT_EQ(ctx.pools.edges.LiveCount(), 0u);
    EXPECT_EQ(ctx.pools.spans.LiveCount(), 0u);
    EXPECT_EQ(ctx.pools.fragments.LiveCount(), 0u);
}

// ---------------------------------------------------------------------------------------
// Convex outlines in window coordinates.

struct CPoint2 {
    double x = 0.0;
    double y = 0.0;
};

double Cross(CPoint2 o, CPoint2 a, CPoint2 b) {
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// Counter-clockwise hull (monotone chain).
std::vector<CPoint2> ConvexHull(std::vector<CPoint2> p) {
    std::sort(p.begin(), p.end(),
              [](CPoint2 a, CPoint2 b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
    std::vector<CPoint2> hull(2 * p.size());
    std::size_t k = 0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        while (k >= 2 && Cross(hull[k - 2], hull[k - 1], p[i]) <= 0) {
            --k;
        }
        hull[k++] = p[i];
    }
    for (std::size_t i = p.size() - 1, t = k + 1; i > 0; --i) {
        while (k >= t && Cross(hull[k - 2], hull[k - 1], p[i - 1]) <= 0) {
            --k;
        }
        hull[k++] = p[i - 1];
    }
    hull.resize(k - 1);
    return hull;
}

// Distance from q to the hull's boundary: positive inside, negative outside (exact inside,
// a lower bound on the distance outside, which is all the tests need).
double SignedDistance(const std::vector<CPoint2>& hull, CPoint2 q) {
    double d = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < hull.size(); ++i) {
        const CPoint2 a = hull[i];
        const CPoint2 b = hull[(i + 1) % hull.size()];
        d = std::min(d, Cross(a, b, q) / std::hypot(b.x - a.x, b.y - a.y));
    }
    return d;
}

// Pixels more than a pixel inside the outline have `inside` crossings, pixels more than a pixel
// outside none.
void ExpectCoverage(const CPicture& picture, const std::vector<CPoint2>& hull, int inside) {
    int failures = 0;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const double d = SignedDistance(hull, {double(x), double(y)});
            const int count = CountAt(picture, x, y);
            const bool ok = d > 1.0 ? count == inside : (d < -1.0 ? count == 0 : true);
            if (!ok && ++failures <= 10) {
                ADD_FAILURE() << "pixel " << x << "," << y << " at " << d << " px: " << count;
            }
        }
    }
    EXPECT_EQ(failures, 0);
}

// The hull of model points seen through `eye`. Window rows grow downwards, which turns the
// orientation round, so the points are mirrored for the hull and back.
std::vector<CPoint2> WindowHull(const std::vector<CVector3>& points, const CMatrix4& eye) {
    std::vector<CPoint2> window;
    for (const CVector3& p : points) {
        const CVector3 w = ToWindow(Apply(eye, p));
        window.push_back({w.x, -double(w.y)});
    }
    std::vector<CPoint2> hull = ConvexHull(window);
    std::reverse(hull.begin(), hull.end());
    for (CPoint2& p : hull) {
        p.y = -p.y;
    }
    return hull;
}

// ---------------------------------------------------------------------------------------
// Polygon meshes.

// An axis-aligned box about `centre`, every face counter-clockwise seen from outside. Corner
// i has x = +half when bit 0 is set, y when bit 1 is, z when bit 2 is.
CPolyMesh MakeBox(CVector3 centre, float half, int32_t flatShading) {
    CPolyMesh mesh;
    for (int i = 0; i < 8; ++i) {
        mesh.points.push_back({centre.x + ((i & 1) ? half : -half),
                               centre.y + ((i & 2) ? half : -half),
                               centre.z + ((i & 4) ? half : -half)});
    }
    mesh.vertexIndices = {4, 5, 7, 6, 0, 2, 3, 1, 1, 3, 7, 5, 0, 4, 6, 2, 2, 6, 7, 3, 0, 1, 5, 4};
    mesh.polygonSizes = {4, 4, 4, 4, 4, 4};
    mesh.flatShading = flatShading;
    return mesh;
}

// The outward normals of the box's faces, in the order of the faces above.
const CVector3 kBoxNormals[6] = {{0, 0, 1},  {0, 0, -1}, {1, 0, 0},
                                 {-1, 0, 0}, {0, 1, 0},  {0, -1, 0}};

// A sphere of `segments` meridians and `rings` latitude bands about the origin, faces
// counter-clockwise seen from outside: (polar angle, azimuth) then (next polar angle, ...)
// turns about the outward normal.
CPolyMesh MakeSphere(float radius, int segments, int rings, int32_t flatShading) {
    CPolyMesh mesh;
    const auto at = [&](int ring, int segment) {
        return 1 + (ring - 1) * segments + segment % segments;
    };
    mesh.points.push_back({0, 0, radius});
    for (int i = 1; i < rings; ++i) {
        const float phi = kPi * float(i) / float(rings);
        for (int j = 0; j < segments; ++j) {
            const float theta = 2.0f * kPi * float(j) / float(segments);
            mesh.points.push_back({radius * std::sin(phi) * std::cos(theta),
                                   radius * std::sin(phi) * std::sin(theta),
                                   radius * std::cos(phi)});
        }
    }
    mesh.points.push_back({0, 0, -radius});
    const int south = static_cast<int>(mesh.points.size()) - 1;
    for (int j = 0; j < segments; ++j) {
        mesh.vertexIndices.insert(mesh.vertexIndices.end(), {0, at(1, j), at(1, j + 1)});
        mesh.polygonSizes.push_back(3);
        for (int i = 1; i + 1 < rings; ++i) {
            mesh.vertexIndices.insert(mesh.vertexIndices.end(),
                                      {at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1)});
            mesh.polygonSizes.push_back(4);
        }
        mesh.vertexIndices.insert(mesh.vertexIndices.end(),
                                  {at(rings - 1, j), south, at(rings - 1, j + 1)});
        mesh.polygonSizes.push_back(3);
    }
    mesh.flatShading = flatShading;
    return mesh;
}

// Two quads meeting in a ridge along y at x = 0, each sloping down by `slope` from the
// horizontal: their normals lie 2 * slope apart.
CPolyMesh MakeRoof(float slope) {
    CPolyMesh mesh;
    const float w = 3.0f;
    const float drop = -w * std::tan(slope);
    mesh.points = {{0, -3, 0},   {0, 3, 0},      {w, -3, drop},
                   {w, 3, drop}, {-w, -3, drop}, {-w, 3, drop}};
    mesh.vertexIndices = {0, 2, 3, 1, 4, 0, 1, 5};
    mesh.polygonSizes = {4, 4};
    mesh.flatShading = 0;
    return mesh;
}

float Angle(CVector3 a, CVector3 b) {
    const float c = DotProduct(Normalized(a), Normalized(b));
    return std::acos(std::clamp(c, -1.0f, 1.0f));
}

TEST(PolyMeshNodeTest, ClosedBoxGivesPairedCrossingsOverItsProjectedSquare) {
    CRenderContext ctx;
    PrepareContext(ctx, EShading::kPerPixel);
    const CPolyMesh box = MakeBox({0.5f, -0.25f, 0}, 2.0f, 1);
    {
        std::unique_ptr<CRenderNode> node = BuildPolyMeshNode(ctx, box, LoadRenderMaterial(ctx, nullptr));
        ASSERT_NE(node, nullptr);
        const CPicture picture = Walk(ctx, *node);
        ExpectPairedCrossings(picture);
        ExpectCoverage(picture, WindowHull(box.points, {}), 2);
        // Looking along z, the front face is the one at z = +2.
        for (const auto& [pixel, crossings] : picture) {
            ASSERT_FALSE(crossings.empty());
            EXPECT_NEAR(crossings.front().depth, 2.0f * kScale, 1e-3f);
            EXPECT_NEAR(crossings.back().depth, -2.0f * kScale, 1e-3f);
        }
    }
    ExpectAllRecordsReturned(ctx);
}

class PolyMeshNormalTest : public testing::TestWithParam<int32_t> {};

// Face normals under the view: flat shading gives them everywhere, and smooth shading keeps
// them too, because the box's corners are creased far beyond the smoothing angle.
TEST_P(PolyMeshNormalTest, TurnedBoxCoversItsHullWithTheNormalOfTheFaceHit) {
    CRenderContext ctx;
    const CMatrix4 eye = Rotation(0.5f, 0.7f);
    PrepareContext(ctx, EShading::kPerPixel, eye);
    const CVector3 centre{0.25f, 0.5f, -0.5f};
    const float half = 2.0f;
    const CPolyMesh box = MakeBox(centre, half, GetParam());
    std::unique_ptr<CRenderNode> node = BuildPolyMeshNode(ctx, box, LoadRenderMaterial(ctx, nullptr));
    ASSERT_NE(node, nullptr);
    const CPicture picture = Walk(ctx, *node);
    ExpectPairedCrossings(picture);
    ExpectCoverage(picture, WindowHull(box.points, eye), 2);
    const CVector3 eyeCentre = Apply(eye, centre);
    int checked = 0;
    for (const auto& [pixel, crossings] : picture) {
        for (const CCrossing& c : crossings) {
            const CVector3 p = FromWindow(float(pixel.first), float(pixel.second), c.depth);
            const CVector3 n = Normalized(c.values.normal);
            bool onAFaceWithThatNormal = false;
            for (const CVector3& outward : kBoxNormals) {
                const CVector3 faceNormal = Apply(eye, outward) - Apply(eye, {});
                const float distance = DotProduct(faceNormal, p - eyeCentre) - half;
                if (std::fabs(distance) < 0.01f && Angle(n, faceNormal) < 1e-3f) {
                    onAFaceWithThatNormal = true;
                }
            }
            EXPECT_TRUE(onAFaceWithThatNormal) << pixel.first << "," << pixel.second;
            ++checked;
        }
    }
    EXPECT_GT(checked, 1000);
}

INSTANTIATE_TEST_SUITE_P(FlatAndSmooth, PolyMeshNormalTest, testing::Values(1, 0));

// The largest angle between the interpolated normal and the radius through the point hit.
float LargestDeviationFromRadius(int32_t flatShading) {
    CRenderContext ctx;
    const CMatrix4 eye = Rotation(0.3f, -0.4f);
    PrepareContext(ctx, EShading::kPerPixel, eye);
    const CPolyMesh sphere = MakeSphere(3.0f, 24, 12, flatShading);
    std::unique_ptr<CRenderNode> node = BuildPolyMeshNode(ctx, sphere, LoadRenderMaterial(ctx, nullptr));
    if (node == nullptr) {
        ADD_FAILURE() << "no node";
        return kPi;
    }
    const CPicture picture = Walk(ctx, *node);
    ExpectPairedCrossings(picture);
    float largest = 0.0f;
    for (const auto& [pixel, crossings] : picture) {
        for (const CCrossing& c : crossings) {
            const CVector3 p = FromWindow(float(pixel.first), float(pixel.second), c.depth);
            largest = std::max(largest, Angle(c.values.normal, p));
        }
    }
    return largest;
}

TEST(PolyMeshNodeTest, SmoothSphereNormalsFollowTheRadiusWhereFlatOnesShowTheFacets) {
    // Facets 15 degrees across: a face normal is up to about 10 degrees off the radius at a
    // facet's corner, averaged normals interpolated over a facet stay within a few degrees.
    const float threeDegrees = 3.0f * kPi / 180.0f;
    EXPECT_LT(LargestDeviationFromRadius(0), threeDegrees);
    EXPECT_GT(LargestDeviationFromRadius(1), 2.0f * threeDegrees);
}

// How far the normal next to the ridge of a roof leans from the vertical.
float LeanBesideRidge(float slope) {
    CRenderContext ctx;
    PrepareContext(ctx, EShading::kPerPixel);
    std::unique_ptr<CRenderNode> node = BuildPolyMeshNode(ctx, MakeRoof(slope), LoadRenderMaterial(ctx, nullptr));
    if (node == nullptr) {
        ADD_FAILURE() << "no node";
        return 0.0f;
    }
    const CPicture picture = Walk(ctx, *node);
    float largest = 0.0f;
    int seen = 0;
    for (const auto& [pixel, crossings] : picture) {
        const float x = FromWindow(float(pixel.first), 0.0f, 0.0f).x;
        if (std::fabs(x) < 0.15f && !crossings.empty()) {
            largest = std::max(largest, Angle(crossings.front().values.normal, {0, 0, 1}));
            ++seen;
        }
    }
    EXPECT_GT(seen, 20);
    return largest;
}

TEST(PolyMeshNodeTest, NormalsAreSharedAcrossGentleEdgesAndCreasedAcrossSharpOnes) {
    // Faces 40 degrees apart share their average at the ridge (each is 20 degrees off it, well
    // within the smoothing angle): within 0.15 of the 3 units to the eaves the normal has
    // turned only a little way towards the face. Faces 70 degrees apart keep their own.
    const float gentle = 20.0f * kPi / 180.0f;
    EXPECT_LT(LeanBesideRidge(gentle), 0.25f * gentle);
    const float sharp = 35.0f * kPi / 180.0f;
    EXPECT_NEAR(LeanBesideRidge(sharp), sharp, 1e-3f);
}

TEST(PolyMeshNodeTest, PerVertexModeCarriesOnlyColours) {
    CRenderContext ctx;
    PrepareContext(ctx, EShading::kVertexColours, Rotation(0.4f, 0.3f));
    const CPolyMesh box = MakeBox({0, 0, 0}, 2.0f, 1);
    std::unique_ptr<CRenderNode> node = BuildPolyMeshNode(ctx, box, LoadRenderMaterial(ctx, nullptr));
    ASSERT_NE(node, nullptr);
    const CPicture picture = Walk(ctx, *node);
    ExpectPairedCrossings(picture);
    ASSERT_FALSE(picture.empty());
    for (const auto& [pixel, crossings] : picture) {
        for (const CCrossing& c : crossings) {
            // The default grey, lit by a normal within 90 degrees of the light.
            EXPECT_GT(c.values.colour.x, 0.0f);
            EXPECT_EQ(c.values.normal, CVector3());
        }
    }
}

TEST(PolyMeshNodeTest, BrokenPolygonsAreSkippedAndTheRestDrawn) {
    CRenderContext ctx;
    PrepareContext(ctx, EShading::kPerPixel);
    {
        CPolyMesh box = MakeBox({0, 0, 0}, 2.0f, 0);
        // A vertex that does not exist, a negative one, a polygon too small to have an area,
        // and then a size that runs past the index array.
        box.vertexIndices.insert(box.vertexIndices.end(), {0, 1, 99, 0, -1, 2, 5, 6});
        box.polygonSizes.insert(box.polygonSizes.end(), {3, 3, 2, 1000});
        std::unique_ptr<CRenderNode> node = BuildPolyMeshNode(ctx, box, LoadRenderMaterial(ctx, nullptr));
        ASSERT_NE(node, nullptr);
        const CPicture picture = Walk(ctx, *node);
        ExpectPairedCrossings(picture);
        ExpectCoverage(picture, WindowHull(MakeBox({0, 0, 0}, 2.0f, 0).points, {}), 2);

        CPolyMesh empty;
        EXPECT_EQ(BuildPolyMeshNode(ctx, empty, LoadRenderMaterial(ctx, nullptr)), nullptr);
        CPolyMesh negative = MakeBox({0, 0, 0}, 2.0f, 1);
        negative.polygonSizes = {-4, 4};
        EXPECT_EQ(BuildPolyMeshNode(ctx, negative, LoadRenderMaterial(ctx, nullptr)), nullptr);
    }
    ExpectAllRecordsReturned(ctx);
}

TEST(PolyMeshNodeTest, NotFiniteAndHugeCornersNeverReachThePicture) {
    CRenderContext ctx;
    PrepareContext(ctx, EShading::kPerPixel, Rotation(0.2f, 0.3f));
    {
        // Corner 7 lies on the +x, +y and +z faces; the three others still close nothing, but
        // what is drawn must be finite and inside the picture.
        for (const float bad : {std::numeric_limits<float>::quiet_NaN(),
                                std::numeric_limits<float>::infinity(), 1e30f, -3e38f}) {
            CPolyMesh box = MakeBox({0, 0, 0}, 2.0f, 0);
            box.points[7] = {bad, 1.0f, bad};
            std::unique_ptr<CRenderNode> node = BuildPolyMeshNode(ctx, box, LoadRenderMaterial(ctx, nullptr));
            ASSERT_NE(node, nullptr) << bad;
            const CPicture picture = Walk(ctx, *node);
            EXPECT_FALSE(picture.empty());
            for (const auto& [pixel, crossings] : picture) {
                EXPECT_GE(pixel.first, 0);
                EXPECT_LT(pixel.first, kSize);
                EXPECT_GE(pixel.second, 0);
                EXPECT_LT(pixel.second, kSize);
                for (const CCrossing& c : crossings) {
                    EXPECT_TRUE(std::isfinite(c.depth));
                    EXPECT_TRUE(Finite(c.values.normal)) << bad;
                }
            }
        }
    }
    ExpectAllRecordsReturned(ctx);
}

// ---------------------------------------------------------------------------------------
// Surfaces.

// A tube of radius `radius` round z from z = -height / 2 to +height / 2 over eight control
// points per ring: closed round the axis, open along it. With `ringsAlongRows` the rings are
// the net's rows (closed in v), otherwise its columns (closed in u).
CSurface MakeTube(float radius, float height, int steps, bool ringsAlongRows) {
    CSurface s;
    const int rings = 2;
    const int around = 8;
    s.nu = ringsAlongRows ? rings : around;
    s.nv = ringsAlongRows ? around : rings;
    s.points.resize(static_cast<std::size_t>(s.nu) * s.nv);
    for (int ring = 0; ring < rings; ++ring) {
        for (int k = 0; k < around; ++k) {
            const float theta = 2.0f * kPi * float(k) / float(around);
            const CVector3 p{radius * std::cos(theta), radius * std::sin(theta),
                             height * (float(ring) - 0.5f)};
            const std::size_t at =
                ringsAlongRows ? std::size_t(ring) * around + k : std::size_t(k) * rings + ring;
            s.points[at] = p;
        }
    }
    (ringsAlongRows ? s.v : s.u).closed = 1;
    s.u.stepsPerSpan = steps;
    s.v.stepsPerSpan = steps;
    return s;
}

struct CTubeCase {
    int steps;
    bool ringsAlongRows;
};

void PrintTo(const CTubeCase& c, std::ostream* os) {
    *os << c.steps
        << (c.ringsAlongRows ? " steps, rings along rows" : " steps, rings along columns");
}

class SurfaceCapTest : public testing::TestWithParam<CTubeCase> {};

// Seen at a slant, an open tube shows its inside through the ends: without caps an eye ray
// could enter through an end and leave through the wall only.
TEST_P(SurfaceCapTest, OpenTubeGetsTwoCapsThatCloseIt) {
    CRenderContext ctx;
    PrepareContext(ctx, EShading::kPerPixel, Rotation(0.9f, 0.3f));
    const CSurface tube = MakeTube(3.0f, 3.0f, GetParam().steps, GetParam().ringsAlongRows);
    {
        std::unique_ptr<CRenderNode> node = BuildSurfaceNode(ctx, tube, LoadRenderMaterial(ctx, nullptr));
        ASSERT_NE(node, nullptr);
        EXPECT_EQ(node->kind, kNodeMeshUnion);
        EXPECT_EQ(Leaves(*node).size(), 3u);
        EXPECT_EQ(Patches(*node).size(), 1u);
        const CPicture picture = Walk(ctx, *node);
        ExpectPairedCrossings(picture);
        // The axis passes through both caps.
        const CVector3 centre = ToWindow({0, 0, 0});
        EXPECT_EQ(CountAt(picture, int(std::lround(centre.x)), int(std::lround(centre.y))), 2);
        EXPECT_GT(picture.size(), 500u);
    }
    ExpectAllRecordsReturned(ctx);
}

INSTANTIATE_TEST_SUITE_P(StepsAndDirections, SurfaceCapTest,
                         testing::Values(CTubeCase{0, true}, CTubeCase{1, true}, CTubeCase{4, true},
                                         CTubeCase{0, false}, CTubeCase{1, false},
                                         CTubeCase{3, false}));

TEST(SurfaceCapTest, CapsAreLitAlongTheAxisAndMappedOverTheirBox) {
    CRenderContext ctx;
    const CMatrix4 eye = Rotation(0.6f, 0.0f);
    PrepareContext(ctx, EShading::kPerPixel, eye);
    // Without steps the caps are the octagons of the control points: x and y from -2 to 2.
    const CSurface tube = MakeTube(2.0f, 2.0f, 0, true);
    std::unique_ptr<CRenderNode> node = BuildSurfaceNode(ctx, tube, LoadRenderMaterial(ctx, nullptr));
    ASSERT_NE(node, nullptr);
    // Have every attribute interpolated, as a bump-mapped material would.
    CRenderMaterial& material = ctx.materialList.front();
    material.needsSurfacePoint = true;
    material.needsTextureCoordinates = true;
    material.needsTangents = true;
    const CPicture picture = Walk(ctx, *node);
    const CVector3 axis = AxisOf(eye, 2);
    int capCrossings = 0;
    for (const auto& [pixel, crossings] : picture) {
        for (const CCrossing& c : crossings) {
            if (dynamic_cast<const CRenderPatch*>(c.leaf) != nullptr) {
                continue;
            }
            ++capCrossings;
            const CInterpolation& v = c.values;
            EXPECT_NEAR(std::fabs(DotProduct(v.normal, axis)), 1.0f, 1e-5f);
            EXPECT_NEAR(std::fabs(v.point.z), 1.0f, 1e-4f);
            EXPECT_NEAR(v.u, (v.point.x + 2.0f) / 4.0f, 1e-4f);
            EXPECT_NEAR(v.v, (v.point.y + 2.0f) / 4.0f, 1e-4f);
            // The tangents lie in the cap's plane.
            EXPECT_NEAR(DotProduct(v.tangentU, v.normal), 0.0f, 1e-5f);
            EXPECT_NEAR(DotProduct(v.tangentV, v.normal), 0.0f, 1e-5f);
            EXPECT_GT(Length(v.tangentU), 0.1f);
            // The eye-space point of the pixel is the object point seen through the view.
            const CVector3 p = FromWindow(float(pixel.first), float(pixel.second), c.depth);
            EXPECT_NEAR(Length(Apply(eye, v.point) - p), 0.0f, 1e-3f);
        }
    }
    EXPECT_GT(capCrossings, 300);
}

// A dome round z: the pole, then two rings at the pole's height and lower down. The second
// ring at the pole's height makes the surface level there, so its normal is the axis. With
// `ringsAlongRows` the pole is the net's first row (v runs round the axis), otherwise its first
// column (u runs round the axis).
CSurface MakeDome(int steps, bool ringsAlongRows = true) {
    CSurface s;
    const int rings = 4;
    const int around = 8;
    s.nu = ringsAlongRows ? rings : around;
    s.nv = ringsAlongRows ? around : rings;
    s.points.resize(static_cast<std::size_t>(rings) * around);
    const float radii[rings] = {0.0f, 1.5f, 3.0f, 3.0f};
    const float heights[rings] = {2.0f, 2.0f, 1.0f, -1.0f};
    for (int ring = 0; ring < rings; ++ring) {
        for (int k = 0; k < around; ++k) {
            const float theta = 2.0f * kPi * float(k) / float(around);
            const std::size_t at =
                ringsAlongRows ? std::size_t(ring) * around + k : std::size_t(k) * rings + ring;
            s.points[at] = {radii[ring] * std::cos(theta), radii[ring] * std::sin(theta),
                            heights[ring]};
        }
    }
    (ringsAlongRows ? s.v : s.u).closed = 1;
    s.u.stepsPerSpan = steps;
    s.v.stepsPerSpan = steps;
    return s;
}

struct CDomeCase {
    int steps;
    bool ringsAlongRows;
};

void PrintTo(const CDomeCase& c, std::ostream* os) {
    *os << c.steps
        << (c.ringsAlongRows ? " steps, rings along rows" : " steps, rings along columns");
}

class SurfacePatchPoleTest : public testing::TestWithParam<CDomeCase> {};

// Where a whole row (or column) of the net meets in one point, the derivative along it
// vanishes; the normal must still come out as the surface's, not as noise or zero.
TEST_P(SurfacePatchPoleTest, PoleGetsUnitNormalsAlongTheAxis) {
    CRenderContext ctx;
    const CMatrix4 eye = Rotation(-0.7f, 0.4f);
    PrepareContext(ctx, EShading::kPerPixel, eye);
    const bool poleIsARow = GetParam().ringsAlongRows;
    std::unique_ptr<CRenderNode> node =
        BuildSurfaceNode(ctx, MakeDome(GetParam().steps, poleIsARow), LoadRenderMaterial(ctx, nullptr));
    ASSERT_NE(node, nullptr);
    // The collapsed end has no area to cap; the open base has.
    EXPECT_EQ(Leaves(*node).size(), 2u);
    const std::vector<CRenderPatch*> patches = Patches(*node);
    ASSERT_EQ(patches.size(), 1u);
    const CPatchSamples samples = patches[0]->Samples();
    ASSERT_GE(samples.rows, 2);
    ASSERT_GE(samples.cols, 2);
    const CVector3 axis = AxisOf(eye, 2);
    const int poleSamples = poleIsARow ? samples.cols : samples.rows;
    for (int k = 0; k < poleSamples; ++k) {
        const std::size_t at = poleIsARow ? std::size_t(k) : std::size_t(k) * samples.cols;
        const CScanVertex& pole = samples.vertices[at];
        EXPECT_TRUE(Finite(pole.normal));
        EXPECT_NEAR(Length(pole.normal), 1.0f, 1e-5f) << k;
        EXPECT_NEAR(std::fabs(DotProduct(pole.normal, axis)), 1.0f, 1e-4f) << k;
        EXPECT_NEAR(Length(pole.point - CVector3(0, 0, 2)), 0.0f, 1e-5f);
    }
    for (const CScanVertex& v : samples.vertices) {
        EXPECT_NEAR(Length(v.normal), 1.0f, 1e-5f);
    }
    const CPicture picture = Walk(ctx, *node);
    ExpectPairedCrossings(picture);
}

INSTANTIATE_TEST_SUITE_P(StepsAndDirections, SurfacePatchPoleTest,
                         testing::Values(CDomeCase{1, true}, CDomeCase{2, true}, CDomeCase{6, true},
                                         CDomeCase{1, false}, CDomeCase{2, false},
                                         CDomeCase{6, false}));

// A flat net in the plane z = 0: point (r, c) at (r, c), so u runs along x and v along y.
CSurface MakeSheet(int rows, int cols, int steps) {
    CSurface s;
    s.nu = rows;
    s.nv = cols;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            s.points.push_back({float(r), float(c), 0.0f});
        }
    }
    s.u.stepsPerSpan = steps;
    s.v.stepsPerSpan = steps;
    return s;
}

TEST(SurfacePatchTest, SamplesCarryWhatTheShadingModeNeeds) {
    const CMatrix4 eye = Rotation(0.3f, 0.5f);
    const CSurface sheet = MakeSheet(4, 5, 3);
    for (const EShading mode : {EShading::kVertexColours, EShading::kPerPixel}) {
        CRenderContext ctx;
        PrepareContext(ctx, mode, eye);
        std::unique_ptr<CRenderNode> node = BuildSurfaceNode(ctx, sheet, LoadRenderMaterial(ctx, nullptr));
        ASSERT_NE(node, nullptr);
        const std::vector<CRenderPatch*> patches = Patches(*node);
        ASSERT_EQ(patches.size(), 1u);
        const CPatchSamples samples = patches[0]->Samples();
        // Fixed ends: three spans of three steps across the rows, four along them.
        ASSERT_EQ(samples.rows, 10);
        ASSERT_EQ(samples.cols, 13);
        for (int i = 0; i < samples.rows; ++i) {
            for (int j = 0; j < samples.cols; ++j) {
                const CScanVertex& v =
                    samples.vertices[static_cast<std::size_t>(i) * samples.cols + j];
                // The sheet is its own plane, and its parameters run evenly along x and y.
                const CVector3 object{3.0f * float(i) / 9.0f, 4.0f * float(j) / 12.0f, 0.0f};
                const CVector3 window = ToWindow(Apply(eye, object));
                EXPECT_NEAR(v.x, window.x, 1e-3f);
                EXPECT_NEAR(v.y, window.y, 1e-3f);
                EXPECT_NEAR(v.z, window.z, 1e-3f);
                EXPECT_NEAR(DotProduct(v.normal, AxisOf(eye, 2)), 1.0f, 1e-5f);
                if (mode == EShading::kVertexColours) {
                    EXPECT_EQ(v.point, CVector3());
                    EXPECT_EQ(v.tangentU, CVector3());
                    EXPECT_EQ(v.tangentV, CVector3());
                    EXPECT_EQ(v.u, 0.0f);
                    EXPECT_EQ(v.v, 0.0f);
                    continue;
                }
                EXPECT_NEAR(Length(v.point - object), 0.0f, 1e-5f);
                EXPECT_NEAR(Angle(v.tangentU, AxisOf(eye, 0)), 0.0f, 1e-3f);
                EXPECT_NEAR(Angle(v.tangentV, AxisOf(eye, 1)), 0.0f, 1e-3f);
                EXPECT_NEAR(v.u, object.x / 3.0f, 1e-6f);
                EXPECT_NEAR(v.v, object.y / 4.0f, 1e-6f);
            }
        }
    }
}

TEST(SurfacePatchTest, EstimatedRowsContainTheRowsOfItsTriangles) {
    CRenderContext ctx;
    PrepareContext(ctx, EShading::kPerPixel, Rotation(1.1f, 0.4f));
    std::unique_ptr<CRenderNode> node =
        BuildSurfaceNode(ctx, MakeTube(3.0f, 4.0f, 5, true), LoadRenderMaterial(ctx, nullptr));
    ASSERT_NE(node, nullptr);
    const std::vector<CRenderPatch*> patches = Patches(*node);
    ASSERT_EQ(patches.size(), 1u);
    CRenderPatch& patch = *patches[0];
    const int estimatedFirst = patch.firstRow;
    const int estimatedEnd = patch.endRow;
    EXPECT_FALSE(patch.HasTriangles());
    CPicture picture;
    WalkLeaf(ctx, patch, picture);
    ASSERT_FALSE(picture.empty());
    int top = kSize;
    int bottom = -1;
    for (const auto& [pixel, crossings] : picture) {
        top = std::min(top, pixel.second);
        bottom = std::max(bottom, pixel.second);
    }
    EXPECT_LE(estimatedFirst, top);
    EXPECT_GT(estimatedEnd, bottom);
    // The rows the triangles took on activation lie within the estimate too.
    EXPECT_LE(estimatedFirst, patch.firstRow);
    EXPECT_LE(patch.endRow, estimatedEnd);
}

TEST(SurfacePatchTest, PatchWaitsForItsRowsAndStartsAtTheRowItIsActivatedAt) {
    CRenderContext ctx;
    PrepareContext(ctx, EShading::kPerPixel);
    // Rows 0..99 of a sheet that covers 5 units of rows: activated halfway down, it draws only
    // from there on.
    std::unique_ptr<CRenderNode> node = BuildSurfaceNode(ctx, MakeSheet(6, 6, 2), LoadRenderMaterial(ctx, nullptr));
    ASSERT_NE(node, nullptr);
    const std::vector<CRenderPatch*> patches = Patches(*node);
    ASSERT_EQ(patches.size(), 1u);
    CRenderPatch& patch = *patches[0];
    patch.Activate(30);
    EXPECT_TRUE(patch.HasTriangles());
    EXPECT_EQ(patch.firstRow, 30);
    // The sheet's rows run from y = 0 (row 49.6) up to y = 5 (row -0.4).
    const CVector3 topEdge = ToWindow({0.0f, 5.0f, 0.0f});
    const CVector3 bottomEdge = ToWindow({0.0f, 0.0f, 0.0f});
    EXPECT_LT(topEdge.y, 30.0f);
    EXPECT_EQ(patch.endRow, int(std::ceil(bottomEdge.y)));
    EXPECT_TRUE(patch.Samples().vertices.empty());
}

TEST(SurfacePatchTest, BadNetsGiveNoNode) {
    CRenderContext ctx;
    PrepareContext(ctx, EShading::kPerPixel);
    {
        CSurface notFinite = MakeDome(4);
        notFinite.points[13].y = std::numeric_limits<float>::quiet_NaN();
        EXPECT_EQ(BuildSurfaceNode(ctx, notFinite, LoadRenderMaterial(ctx, nullptr)), nullptr);
        notFinite.points[13].y = std::numeric_limits<float>::infinity();
        EXPECT_EQ(BuildSurfaceNode(ctx, notFinite, LoadRenderMaterial(ctx, nullptr)), nullptr);

        CSurface wrongSize = MakeDome(4);
        wrongSize.points.pop_back();
        EXPECT_EQ(BuildSurfaceNode(ctx, wrongSize, LoadRenderMaterial(ctx, nullptr)), nullptr);
        CSurface noRows = MakeDome(4);
        noRows.nu = 0;
        noRows.points.clear();
        EXPECT_EQ(BuildSurfaceNode(ctx, noRows, LoadRenderMaterial(ctx, nullptr)), nullptr);
        // Free ends leave two rows: too few for a single span.
        CSurface tooSmall = MakeSheet(2, 6, 4);
        tooSmall.u.freeStart = 1;
        tooSmall.u.freeEnd = 1;
        EXPECT_EQ(BuildSurfaceNode(ctx, tooSmall, LoadRenderMaterial(ctx, nullptr)), nullptr);

        // Wholly below the picture.
        CSurface below = MakeSheet(4, 4, 4);
        for (CVector3& p : below.points) {
            p.y -= 100.0f;
        }
        EXPECT_EQ(BuildSurfaceNode(ctx, below, LoadRenderMaterial(ctx, nullptr)), nullptr);
    }
    ExpectAllRecordsReturned(ctx);
}

TEST(SurfacePatchTest, HugeNetsAreClippedToThePicture) {
    CRenderContext ctx;
    PrepareContext(ctx, EShading::kPerPixel, Rotation(0.3f, 0.2f));
    {
        for (const float scale : {1e6f, 1e30f, 3e38f}) {
            CSurface tube = MakeTube(3.0f, 3.0f, 3, true);
            for (CVector3& p : tube.points) {
                p = p * scale;
            }
            std::unique_ptr<CRenderNode> node = BuildSurfaceNode(ctx, tube, LoadRenderMaterial(ctx, nullptr));
            if (node == nullptr) {
                continue;
            }
            // Far-off rows are held within an int, the same for every part of the picture.
            for (CRenderPatch* patch : Patches(*node)) {
                EXPECT_GE(patch->firstRow, -(1 << 30));
                EXPECT_LE(patch->endRow, 1 << 30);
                EXPECT_LE(patch->firstRow, patch->endRow);
            }
            const CPicture picture = Walk(ctx, *node);
            for (const auto& [pixel, crossings] : picture) {
                EXPECT_GE(pixel.first, 0);
                EXPECT_LT(pixel.first, kSize);
                EXPECT_GE(pixel.second, 0);
                EXPECT_LT(pixel.second, kSize);
            }
        }
    }
    ExpectAllRecordsReturned(ctx);
}

// ---------------------------------------------------------------------------------------
// Extrusions.

// A square frame: the outline from -3 to 3, the hole from -1 to 1, extruded along z by
// `depth`. The outline runs counter-clockwise; the hole the other way unless `sameWay`. One
// step per span and no steps both keep the straight sides of the control polygon.
CExtrusion MakeFrame(float depth, bool sameWay) {
    CExtrusion e;
    e.depth = depth;
    e.pointCounts = {4, 4};
    e.stepsPerSpan = {1, 0};
    e.profilePoints = {{-3, -3, 0}, {3, -3, 0}, {3, 3, 0}, {-3, 3, 0}};
    const std::vector<CVector3> hole = {{-1, -1, 0}, {-1, 1, 0}, {1, 1, 0}, {1, -1, 0}};
    if (sameWay) {
        e.profilePoints.insert(e.profilePoints.end(), hole.rbegin(), hole.rend());
    } else {
        e.profilePoints.insert(e.profilePoints.end(), hole.begin(), hole.end());
    }
    GenerateExtrusion(e);
    return e;
}

class ExtrusionHoleTest : public testing::TestWithParam<bool> {};

TEST_P(ExtrusionHoleTest, EndCapsLeaveTheHoleOpen) {
    CRenderContext ctx;
    PrepareContext(ctx, EShading::kPerPixel);
    CExtrusion frame = MakeFrame(2.0f, GetParam());
    // Moved away and along the axis: the caps must still be lit along the axis.
    frame.placement = CMatrix4::Translation({0.25f, -0.5f, 7.0f});
    std::unique_ptr<CRenderNode> node = BuildExtrusionNode(ctx, frame, LoadRenderMaterial(ctx, nullptr));
    ASSERT_NE(node, nullptr);
    // Two walls and two ends.
    EXPECT_EQ(Leaves(*node).size(), 4u);
    const CPicture picture = Walk(ctx, *node);
    int failures = 0;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const CVector3 p = FromWindow(float(x), float(y), 0.0f) - CVector3(0.25f, -0.5f, 0);
            const float d = std::max(std::fabs(p.x), std::fabs(p.y));
            const int count = CountAt(picture, x, y);
            // Seen along the axis the walls are edge-on: the two ends cover the frame.
            const bool ok =
                (d < 0.9f || d > 3.1f) ? count == 0 : (d > 1.1f && d < 2.9f ? count == 2 : true);
            if (!ok && ++failures <= 10) {
                ADD_FAILURE() << "pixel " << x << "," << y << ": " << count;
            }
        }
    }
    EXPECT_EQ(failures, 0);
    ExpectPairedCrossings(picture);
    for (const auto& [pixel, crossings] : picture) {
        if (crossings.size() == 2) {
            EXPECT_NEAR(crossings[0].depth, 9.0f * kScale, 1e-3f);
            EXPECT_NEAR(crossings[1].depth, 7.0f * kScale, 1e-3f);
            // The ends face opposite ways along the axis, whatever the placement moved.
            EXPECT_NEAR(std::fabs(crossings[0].values.normal.z), 1.0f, 1e-6f);
            EXPECT_NEAR(DotProduct(crossings[0].values.normal, crossings[1].values.normal), -1.0f,
                        1e-6f);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(HoleWindings, ExtrusionHoleTest, testing::Values(false, true));

TEST(ExtrusionNodeTest, TurnedFrameIsClosedAndSeenThroughItsHole) {
    CRenderContext ctx;
    const CMatrix4 eye = Rotation(0.5f, 0.35f);
    PrepareContext(ctx, EShading::kPerPixel, eye);
    const CExtrusion frame = MakeFrame(2.0f, false);
    std::unique_ptr<CRenderNode> node = BuildExtrusionNode(ctx, frame, LoadRenderMaterial(ctx, nullptr));
    ASSERT_NE(node, nullptr);
    const CPicture picture = Walk(ctx, *node);
    ExpectPairedCrossings(picture);
    const auto countAt = [&](CVector3 model) {
        const CVector3 w = ToWindow(Apply(eye, model));
        return CountAt(picture, int(std::lround(w.x)), int(std::lround(w.y)));
    };
    // The eye ray through the middle of the hole stays within it from end to end.
    EXPECT_EQ(countAt({0, 0, 1}), 0);
    for (const CVector3 side :
         {CVector3(2, 0, 1), CVector3(-2, 0, 1), CVector3(0, 2, 1), CVector3(0, -2, 1)}) {
        EXPECT_GE(countAt(side), 2);
    }
    // Cap crossings are lit along the turned axis.
    int caps = 0;
    for (const auto& [pixel, crossings] : picture) {
        for (const CCrossing& c : crossings) {
            if (dynamic_cast<const CRenderPatch*>(c.leaf) == nullptr) {
                EXPECT_NEAR(std::fabs(DotProduct(c.values.normal, AxisOf(eye, 2))), 1.0f, 1e-5f);
                ++caps;
            }
        }
    }
    EXPECT_GT(caps, 500);
}

TEST(ExtrusionNodeTest, AxisThroughThePlacementAndTheViewLightsTheEnds) {
    CRenderContext ctx;
    const CMatrix4 eye = Rotation(-0.8f, 0.3f);
    PrepareContext(ctx, EShading::kPerPixel, eye);
    CExtrusion frame = MakeFrame(1.0f, false);
    // A quarter turn about x puts the extrusion axis along -y, then a pan.
    CMatrix4 placement = Rotation(kPi / 2.0f, 0.0f);
    placement.At(3, 0) = 0.5f;
    placement.At(3, 1) = -1.0f;
    placement.At(3, 2) = 2.0f;
    frame.placement = placement;
    std::unique_ptr<CRenderNode> node = BuildExtrusionNode(ctx, frame, LoadRenderMaterial(ctx, nullptr));
    ASSERT_NE(node, nullptr);
    const CPicture picture = Walk(ctx, *node);
    ExpectPairedCrossings(picture);
    const CVector3 axis = Apply(eye, AxisOf(placement, 2)) - Apply(eye, {});
    int caps = 0;
    for (const auto& [pixel, crossings] : picture) {
        for (const CCrossing& c : crossings) {
            if (dynamic_cast<const CRenderPatch*>(c.leaf) == nullptr) {
                EXPECT_NEAR(std::fabs(DotProduct(c.values.normal, axis)), 1.0f, 1e-5f);
                ++caps;
            }
        }
    }
    EXPECT_GT(caps, 200);
}

TEST(ExtrusionNodeTest, BrokenProfilesNeverCrash) {
    CRenderContext ctx;
    PrepareContext(ctx, EShading::kPerPixel, Rotation(0.4f, 0.1f));
    {
        CExtrusion notFinite = MakeFrame(2.0f, false);
        notFinite.placement.At(3, 0) = std::numeric_limits<float>::quiet_NaN();
        std::unique_ptr<CRenderNode> none = BuildExtrusionNode(ctx, notFinite, LoadRenderMaterial(ctx, nullptr));
        EXPECT_EQ(none, nullptr);

        CExtrusion huge = MakeFrame(2.0f, false);
        huge.placement = CMatrix4::Scaling(1e37f, 1e37f, 1e37f);
        std::unique_ptr<CRenderNode> node = BuildExtrusionNode(ctx, huge, LoadRenderMaterial(ctx, nullptr));
        if (node != nullptr) {
            const CPicture picture = Walk(ctx, *node);
            for (const auto& [pixel, crossings] : picture) {
                EXPECT_GE(pixel.second, 0);
                EXPECT_LT(pixel.second, kSize);
            }
        }

        CExtrusion empty;
        GenerateExtrusion(empty);
        EXPECT_EQ(BuildExtrusionNode(ctx, empty, LoadRenderMaterial(ctx, nullptr)), nullptr);
        CExtrusion badAxis = MakeFrame(2.0f, false);
        badAxis.extrusionAxis = 7;
        std::unique_ptr<CRenderNode> walls = BuildExtrusionNode(ctx, badAxis, LoadRenderMaterial(ctx, nullptr));
        ASSERT_NE(walls, nullptr);
        EXPECT_EQ(Leaves(*walls).size(), 2u);
    }
    ExpectAllRecordsReturned(ctx);
}

TEST(MeshBuilderMaterialTest, ObjectMaterialTakesTheMappingOfTheObject) {
    CRenderContext ctx;
    PrepareContext(ctx, EShading::kPerPixel);
    CPolyMesh mesh = MakeBox({0, 0, 0}, 1.0f, 1);
    mesh.materialValue = kMappingCylindrical;
    mesh.materialMatrix = CMatrix4::Scaling(2.0f, 4.0f, 0.5f);
    mesh.materialMatrix.At(3, 0) = 3.0f;
    const CRenderMaterial& material = LoadObjectMaterial(ctx, mesh, nullptr);
    EXPECT_EQ(material.mappingMode, kMappingCylindrical);
    // The mapping matrix undoes the material matrix.
    const CVector3 p{1.0f, -2.0f, 6.0f};
    const CVector3 back = Apply(material.mappingMatrix, Apply(mesh.materialMatrix, p));
    EXPECT_NEAR(Length(back - p), 0.0f, 1e-5f);
    std::unique_ptr<CRenderNode> node = BuildPolyMeshNode(ctx, mesh, material);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->material, &material);
}

}  // namespace
}  // namespace orva
