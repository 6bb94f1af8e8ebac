#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "display/object_parts.h"
#include "geometry/bspline_surface.h"
#include "image/bmp_image.h"
#include "image/bmp_reader.h"
#include "render/render_scene.h"
#include "render/tessellation/cap_contours.h"
#include "render/tessellation/unit_vectors.h"
#include "scene/end_caps.h"
#include "scene/extrusion.h"
#include "scene/extrusion_generator.h"
#include "scene/gem.h"
#include "scene/gem_library.h"
#include "scene/group.h"
#include "scene/material_file.h"
#include "scene/poly_mesh.h"
#include "scene/scene_file.h"
#include "scene/surface.h"
#include "view/draw_surface.h"
#include "view/view_camera.h"
#include "view/zoom_all.h"

namespace orva {
namespace {

// The samples the build writes beside the programs.
const std::vector<std::string> kSampleNames = {"first_ring", "solitaire_ring", "channel_band",
                                               "pendant", "earrings"};

const std::set<std::string> kMetals = {"Gold18KYellow", "Gold18KWhite", "Gold18KRose", "Platinum",
                                       "Silver925"};
const std::set<std::string> kStones = {"Diamond",  "Ruby",  "Sapphire", "Emerald",
                                       "Amethyst", "Topaz", "Onyx",     "Pearl"};
// Shapes in the gem library: round brilliant (0) to pearl (11).
constexpr int32_t kGemShapes = 12;

constexpr uint32_t kBackground = 0xE4E4E4;
// Pixels rendering never writes: whatever shows it was not rendered.
constexpr uint32_t kUnrendered = 0x123456;

struct CSample {
    std::string name;
    CSceneAnchor scene;
    CLoadReport report;
};

std::unique_ptr<CSample> LoadSample(const std::string& name) {
    auto sample = std::make_unique<CSample>();
    sample->name = name;
    LoadSceneFile(sample->scene, std::string(ORVA_SAMPLES_DIR) + "/" + name + ".orv",
                  &sample->report);
    return sample;
}

std::vector<std::unique_ptr<CSample>> LoadAllSamples() {
    std::vector<std::unique_ptr<CSample>> samples;
    for (const std::string& name : kSampleNames) {
        samples.push_back(LoadSample(name));
    }
    return samples;
}

// Visits every object of a list depth first, the children of groups after their group. The
// walls and outlines an extrusion generates are visited too, with `generated` set.
using Visitor = std::function<void(const CSceneObject& object, bool generated)>;

void Walk(const CSceneObject* first, bool generated, const Visitor& visit) {
    for (const CSceneObject* o = first; o != nullptr; o = o->next) {
        visit(*o, generated);
        if (const auto* group = dynamic_cast<const CGroup*>(o)) {
            Walk(group->children.first, generated, visit);
        }
        if (const auto* extrusion = dynamic_cast<const CExtrusion*>(o)) {
            Walk(extrusion->surfaces.first, true, visit);
            Walk(extrusion->curves.first, true, visit);
        }
    }
}

std::string Describe(const CSceneObject& object) {
    return "type " + std::to_string(object.GetTypeId()) + ", state " +
           std::to_string(object.displayState) + ", material " +
           (object.materialName != nullptr ? object.materialName : "(none)");
}

CSplineEnds Ends(const CSurfaceDirection& d) {
    return CSplineEnds{d.freeStart != 0, d.freeEnd != 0, d.closed != 0};
}

// A whole row of the net collapsed into one point.
bool HasPole(const CSurface& surface) {
    if (!surface.HasValidNet()) {
        return false;
    }
    for (int row = 0; row < surface.nu; ++row) {
        bool collapsed = true;
        for (int column = 1; column < surface.nv && collapsed; ++column) {
            collapsed = IsEqual(surface.NetPoint(row, column), surface.NetPoint(row, 0));
        }
        if (collapsed) {
            return true;
        }
    }
    return false;
}

// Six times the volume the polygons enclose: positive when they run counter-clockwise seen
// from outside.
double SignedVolume6(const CPolyMesh& mesh) {
    double volume = 0.0;
    size_t first = 0;
    for (const int32_t size : mesh.polygonSizes) {
        const CVector3& a = mesh.points[static_cast<size_t>(mesh.vertexIndices[first])];
        for (int32_t k = 1; k + 1 < size; ++k) {
            const CVector3& b = mesh.points[static_cast<size_t>(mesh.vertexIndices[first + k])];
            const CVector3& c = mesh.points[static_cast<size_t>(mesh.vertexIndices[first + k + 1])];
            volume += static_cast<double>(DotProduct(a, CrossProduct(b, c)));
        }
        first += static_cast<size_t>(size);
    }
    return volume;
}

TEST(SamplesTest, EverySampleLoadsWholeWithEveryObjectShown) {
    for (const auto& sample : LoadAllSamples()) {
        SCOPED_TRACE(sample->name);
        EXPECT_EQ(sample->report.status, CLoadReport::kOk);
        EXPECT_FALSE(sample->report.stoppedEarly) << sample->report.stopReason;
        EXPECT_GT(sample->report.count, 0);
        int objects = 0;
        Walk(sample->scene.first, false, [&](const CSceneObject& o, bool generated) {
            ++objects;
            EXPECT_NE(o.displayState, kEmptyRecordState) << Describe(o);
            if (!generated) {
                EXPECT_TRUE(o.IsShown()) << Describe(o);
            }
            if (const auto* surface = dynamic_cast<const CSurface*>(&o)) {
                EXPECT_TRUE(surface->HasValidNet()) << Describe(o);
            }
            if (const auto* group = dynamic_cast<const CGroup*>(&o)) {
                EXPECT_FALSE(group->children.Empty());
                // Unmarked, a difference would show and measure only its base.
                if (group->kind == kGroupDifference) {
                    EXPECT_EQ(group->baseMarked, 1);
                }
            }
        });
        EXPECT_GE(objects, sample->report.count);
    }
}

TEST(SamplesTest, TogetherTheSamplesUseEveryObjectClassAndVariant) {
    std::set<int32_t> types;
    std::set<int32_t> bevels;
    std::set<int32_t> shadings;
    std::set<int32_t> groupKinds;
    bool pole = false;
    bool cutter = false;
    bool neverCutGem = false;
    for (const auto& sample : LoadAllSamples()) {
        Walk(sample->scene.first, false, [&](const CSceneObject& o, bool generated) {
            if (generated) {
                return;  // walls and outlines of extrusions stand for no class of their own
            }
            types.insert(o.GetTypeId());
            cutter = cutter || o.cutter != 0;
            if (const auto* e = dynamic_cast<const CExtrusion*>(&o)) {
                bevels.insert(e->topBevel);
                bevels.insert(e->bottomBevel);
            }
            if (const auto* m = dynamic_cast<const CPolyMesh*>(&o)) {
                shadings.insert(m->flatShading != 0 ? 1 : 0);
            }
            if (const auto* g = dynamic_cast<const CGroup*>(&o)) {
                groupKinds.insert(g->kind);
            }
            if (const auto* s = dynamic_cast<const CSurface*>(&o)) {
                pole = pole || HasPole(*s);
            }
            if (const auto* gem = dynamic_cast<const CGem*>(&o)) {
                neverCutGem = neverCutGem || gem->neverCut != 0;
            }
        });
    }
    for (const int32_t type : {kTypeCurve, kTypeSurface, kTypePolyMesh, kTypeExtrusion, kTypeGroup,
                               kTypeRefPlane, kTypeGem}) {
        EXPECT_TRUE(types.contains(type)) << "no object of type " << type;
    }
    EXPECT_TRUE(bevels.contains(kBevelRounded));
    EXPECT_TRUE(bevels.contains(kBevelChamfer));
    EXPECT_TRUE(shadings.contains(0)) << "no smooth mesh";
    EXPECT_TRUE(shadings.contains(1)) << "no flat mesh";
    for (const int32_t kind :
         {kGroupMeshUnion, kGroupUnion, kGroupIntersection, kGroupDifference}) {
        EXPECT_TRUE(groupKinds.contains(kind)) << "no group of kind " << kind;
    }
    EXPECT_TRUE(pole) << "no surface with a row collapsed into a pole";
    EXPECT_TRUE(cutter);
    EXPECT_TRUE(neverCutGem);
}

TEST(SamplesTest, EveryPolygonMeshIsClosedAndFacesOutward) {
    for (const auto& sample : LoadAllSamples()) {
        SCOPED_TRACE(sample->name);
        int meshIndex = 0;
        Walk(sample->scene.first, false, [&](const CSceneObject& o, bool) {
            const auto* mesh = dynamic_cast<const CPolyMesh*>(&o);
            if (mesh == nullptr) {
                return;
            }
            SCOPED_TRACE("mesh " + std::to_string(meshIndex++));
            ASSERT_GT(mesh->PolygonCount(), 0);
            std::map<std::pair<int32_t, int32_t>, int> edges;
            size_t first = 0;
            for (const int32_t size : mesh->polygonSizes) {
                ASSERT_GE(size, 3);
                for (int32_t k = 0; k < size; ++k) {
                    const int32_t a = mesh->vertexIndices[first + k];
                    const int32_t b = mesh->vertexIndices[first + (k + 1) % size];
                    ++edges[{a, b}];
                }
                first += static_cast<size_t>(size);
            }
            int open = 0;
            int repeated = 0;
            for (const auto& [edge, count] : edges) {
                const auto reverse = edges.find({edge.second, edge.first});
                open += reverse == edges.end() || reverse->second != count ? 1 : 0;
                // Two polygons running an edge the same way are wound against each other.
                repeated += count > 1 ? 1 : 0;
            }
            EXPECT_EQ(open, 0) << "edges without a partner running the other way";
            EXPECT_EQ(repeated, 0) << "edges run the same way by more than one polygon";
            EXPECT_GT(SignedVolume6(*mesh), 0.0) << "polygons run clockwise seen from outside";
        });
    }
}

// A surface's normals point away from the middle of its own samples: the lit side is the one
// seen from outside (a surface turned inward draws dark in the shaded display).
TEST(SamplesTest, EverySurfaceFacesOutward) {
    for (const auto& sample : LoadAllSamples()) {
        SCOPED_TRACE(sample->name);
        int surfaceIndex = 0;
        Walk(sample->scene.first, false, [&](const CSceneObject& o, bool generated) {
            const auto* surface = dynamic_cast<const CSurface*>(&o);
            if (surface == nullptr || generated) {
                return;
            }
            SCOPED_TRACE("surface " + std::to_string(surfaceIndex++));
            ASSERT_TRUE(surface->HasValidNet());
            const CSurfaceGrid grid = SampleSurface(surface->points, surface->nu, surface->nv,
                                                    Ends(surface->u), Ends(surface->v), 4, 4, true);
            ASSERT_FALSE(grid.Empty());
            // The flux of the position through the surface, sum of (p - middle) . (Du x Dv),
            // is three times the enclosed volume for a closed shell, from any middle, and for a
            // tube taken from its own axis (the middle of each loop around it) it is the tube's
            // radius times its area: positive for both when the normals face outward, and
            // negative for both when the surface is turned inward.
            const bool aroundRows = surface->v.closed != 0;
            const bool aroundColumns = !aroundRows && surface->u.closed != 0;
            const auto middleOf = [&](int i, int j, bool ofLoop) {
                CVector3 sum{0, 0, 0};
                int count = 0;
                for (int a = 0; a < grid.rows; ++a) {
                    for (int b = 0; b < grid.cols; ++b) {
                        const bool sameLoop =
                            !ofLoop || (aroundRows ? a == i : !aroundColumns || b == j);
                        if (sameLoop) {
                            sum = sum + grid.positions[grid.Index(a, b)];
                            ++count;
                        }
                    }
                }
                return sum * (1.0f / float(count));
            };
            const float side = surface->orientation < 1 ? -1.0f : 1.0f;
            for (const bool ofLoop : {true, false}) {
                double flux = 0;
                for (int i = 0; i < grid.rows; ++i) {
                    for (int j = 0; j < grid.cols; ++j) {
                        const size_t k = grid.Index(i, j);
                        const CVector3 normal = CrossProduct(grid.du[k], grid.dv[k]) * side;
                        flux += DotProduct(normal, grid.positions[k] - middleOf(i, j, ofLoop));
                    }
                }
                EXPECT_GT(flux, 0.0) << (ofLoop ? "from the loops' middles" : "from the middle");
            }
        });
    }
}

// End caps as the shaded display draws them and as the renderer fills them. The display lights
// a cap from the side its normal names; the renderer counts a cap's crossings as entering or
// leaving by the way its contours turn, which must be the way the walls' grid cells turn for
// the solid to close. A side is told by the sign of the position, taken from the middle of the
// object's box, along a cap's normal (on a flat cap any point tells) or through the walls.
struct CObjectCaps {
    CShadedParts preview;
    std::vector<CCapContours> picture;  // those the preview draws too, in the same order
    CVector3 centre;
    int cells = 0;  // the side about which the renderer's grid cells turn
    int walls = 0;  // the side the display's wall normals face
};

int Side(double flux) {
    return flux > 0.0 ? 1 : -1;
}

CVector3 BoxCentre(const CSceneObject& object) {
    CVector3 min;
    CVector3 max;
    object.GetBounds(min, max, CMatrix4{});
    return (min + max) * 0.5f;
}

// The renderer's cells run (r, c), (r + 1, c), (r + 1, c + 1): they turn about cross(Du, Dv).
double CellFlux(const CSurface& s, const CMatrix4& placement, CVector3 centre) {
    std::vector<CVector3> placed = s.points;
    for (CVector3& p : placed) {
        TransformPointInPlace(p, placement);
    }
    const CSurfaceGrid grid = SampleSurface(placed, s.nu, s.nv, Ends(s.u), Ends(s.v), 4, 4, true);
    double flux = 0.0;
    for (size_t k = 0; k < grid.positions.size(); ++k) {
        flux += DotProduct(CrossProduct(grid.du[k], grid.dv[k]), grid.positions[k] - centre);
    }
    return flux;
}

// The display's wall normals face the cells' side, turned round for an orientation below 1.
CObjectCaps SurfaceCaps(const CSurface& s) {
    CObjectCaps caps{BuildSurfaceParts(s), {}, BoxCentre(s)};
    const std::vector<CCapContours> picture =
        SurfaceCapContours(s, ExtendControlNet(s.points, s.nu, s.nv, Ends(s.u), Ends(s.v)));
    for (size_t k = 0; k < picture.size(); ++k) {
        if (SurfaceEndCaps(s)[k].loop) {  // an open edge is closed in the picture only
            caps.picture.push_back(picture[k]);
        }
    }
    caps.cells = Side(CellFlux(s, CMatrix4{}, caps.centre));
    caps.walls = s.orientation >= 1 ? caps.cells : -caps.cells;
    return caps;
}

CObjectCaps ExtrusionCaps(const CExtrusion& e) {
    CObjectCaps caps{BuildExtrusionParts(e), ExtrusionCapContours(e), BoxCentre(e)};
    double cells = 0.0;
    int32_t orientation = 1;  // alike for all walls, as reading leaves them
    for (const CSceneObject* o = e.surfaces.first; o != nullptr; o = o->next) {
        const auto& wall = dynamic_cast<const CSurface&>(*o);
        cells += CellFlux(wall, e.placement, caps.centre);
        orientation = wall.orientation;
    }
    caps.cells = Side(cells);
    caps.walls = orientation >= 1 ? caps.cells : -caps.cells;
    return caps;
}

// Every cap faces where its walls face, in the preview and in the picture, and turns as the
// walls' cells do. Returns how many caps were compared.
int ExpectCapsAgree(const CObjectCaps& caps) {
    int compared = 0;
    EXPECT_EQ(caps.preview.fills.size(), caps.picture.size());
    for (size_t k = 0; k < std::min(caps.picture.size(), caps.preview.fills.size()); ++k) {
        const CFlatTriangles& shown = caps.preview.fills[k];
        const CCapContours& filled = caps.picture[k];
        if (filled.contours.empty() || filled.normal == CVector3{} || shown.vertices.empty()) {
            continue;  // a pole: no end to close
        }
        SCOPED_TRACE("cap " + std::to_string(k));
        const CVector3 anchor = filled.contours[0][0] - caps.centre;
        EXPECT_EQ(Side(DotProduct(shown.normal, shown.vertices[0] - caps.centre)), caps.walls)
            << "the preview lights the inside";
        EXPECT_EQ(Side(DotProduct(filled.normal, anchor)), caps.walls)
            << "the picture lights the inside";
        // The border's winding decides; holes run against it.
        EXPECT_EQ(Side(DotProduct(UnitContourNormal(filled.contours[0]), anchor)), caps.cells)
            << "wound against the walls";
        ++compared;
    }
    return compared;
}

TEST(SamplesTest, EveryCapFacesOutwardInThePreviewAndInThePicture) {
    int compared = 0;
    for (const auto& sample : LoadAllSamples()) {
        SCOPED_TRACE(sample->name);
        Walk(sample->scene.first, false, [&](const CSceneObject& o, bool generated) {
            std::optional<CObjectCaps> caps;
            if (const auto* s = dynamic_cast<const CSurface*>(&o); s != nullptr && !generated) {
                caps = SurfaceCaps(*s);
            } else if (const auto* e = dynamic_cast<const CExtrusion*>(&o)) {
                caps = ExtrusionCaps(*e);
            }
            if (caps) {
                SCOPED_TRACE(Describe(o));
                EXPECT_EQ(caps->walls, 1) << "walls face inward";
                compared += ExpectCapsAgree(*caps);
            }
        });
    }
    // The first ring's head and both ends of every shank; the drops end in poles.
    EXPECT_GE(compared, 8);
}

// A cone round z (radius 3 at z = -2 to 2 at z = 2), round the axis along the net's rows (v
// closed) or its columns (u closed).
CSurface MakeCone(bool roundAlongRows, int32_t orientation) {
    CSurface s;
    s.nu = roundAlongRows ? 3 : 8;
    s.nv = roundAlongRows ? 8 : 3;
    s.points.resize(24);
    for (int ring = 0; ring < 3; ++ring) {
        for (int k = 0; k < 8; ++k) {
            const float radius = 3.0f - 0.5f * float(ring);
            s.points[roundAlongRows ? ring * 8 + k : k * 3 + ring] = {
                radius * std::cos(0.785398f * float(k)), radius * std::sin(0.785398f * float(k)),
                2.0f * float(ring) - 2.0f};
        }
    }
    (roundAlongRows ? s.v : s.u).closed = 1;
    s.u.stepsPerSpan = s.v.stepsPerSpan = 3;
    s.orientation = orientation;
    return s;
}

// A square frame round a square hole, extruded along `axis` with a rounded and a chamfered
// edge. Its plane axes turn counter-clockwise about the way the heights grow (against y), so
// its walls face outward as reading leaves them: their orientation turned round by a mirror.
CExtrusion MakeFrame(int32_t axis, const CMatrix4& placement) {
    CExtrusion e;
    e.firstPlaneAxis = axis == 0 ? 1 : 0;
    e.secondPlaneAxis = axis == 2 ? 1 : 2;
    e.extrusionAxis = axis;
    e.depth = 2.0f;
    e.bottomBevel = kBevelRounded;
    e.topBevel = kBevelChamfer;
    e.bevelSize = 0.3f;
    e.pointCounts = {4, 4};
    e.stepsPerSpan = {1, 3};
    const float corners[8][2] = {{-3, -3}, {3, -3}, {3, 3}, {-3, 3},   // border
                                 {-1, -1}, {-1, 1}, {1, 1}, {1, -1}};  // hole
    for (const auto& [a, b] : corners) {
        CVector3& p = e.profilePoints.emplace_back();
        p[e.firstPlaneAxis] = a;
        p[e.secondPlaneAxis] = b;
    }
    e.placement = placement;
    GenerateExtrusion(e);
    for (CSceneObject* o = e.surfaces.first; o != nullptr; o = o->next) {
        static_cast<CSurface*>(o)->orientation = Determinant(placement, 4) < 0.0f ? 1 : -1;
    }
    return e;
}

TEST(EndCapsTest, TubesAndExtrusionsOfEveryKindAgreeOnTheirCaps) {
    for (const bool roundAlongRows : {true, false}) {
        for (const int32_t orientation : {1, -1}) {
            SCOPED_TRACE(std::to_string(roundAlongRows) + std::to_string(orientation));
            EXPECT_EQ(ExpectCapsAgree(SurfaceCaps(MakeCone(roundAlongRows, orientation))), 2);
        }
    }
    const CMatrix4 mirrored{{-1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 2, 0, 4, 0, 0, 1}};
    const CMatrix4 turned{{1, 0, 0, 0, 0, 0, 1, 0, 0, -1, 0, 0, 0, -3, 0, 1}};  // about x, moved
    for (const int32_t axis : {0, 1, 2}) {
        for (const CMatrix4& placement : {CMatrix4{}, mirrored, turned}) {
            SCOPED_TRACE("axis " + std::to_string(axis) + ", x " + std::to_string(placement[0]));
            const CObjectCaps caps = ExtrusionCaps(MakeFrame(axis, placement));
            EXPECT_EQ(caps.walls, 1);
            EXPECT_EQ(ExpectCapsAgree(caps), 2);
        }
    }
}

TEST(SamplesTest, MaterialsAndGemsAreThoseOfTheLibraries) {
    for (const auto& sample : LoadAllSamples()) {
        SCOPED_TRACE(sample->name);
        Walk(sample->scene.first, false, [&](const CSceneObject& o, bool generated) {
            const std::string material = o.materialName != nullptr ? o.materialName : "";
            if (!material.empty()) {
                EXPECT_TRUE(kMetals.contains(material) || kStones.contains(material))
                    << Describe(o);
            }
            if (generated) {
                return;
            }
            if (const auto* gem = dynamic_cast<const CGem*>(&o)) {
                EXPECT_TRUE(kStones.contains(material)) << Describe(o);
                EXPECT_GE(gem->gemIndex, 0);
                EXPECT_LT(gem->gemIndex, kGemShapes);
                // The library shape turned and scaled into place, never mirrored.
                EXPECT_GT(Determinant(gem->placement, 3), 0.0f) << Describe(o);
                return;
            }
            // Every solid is metal: surfaces, meshes and extrusions, cutters included (the
            // faces they leave take their material).
            const int32_t type = o.GetTypeId();
            if (type == kTypeSurface || type == kTypePolyMesh || type == kTypeExtrusion) {
                EXPECT_TRUE(kMetals.contains(material)) << Describe(o);
            }
        });
    }
}

// Renders a sample as the viewer's first picture after Zoom All: standard view 1, one thread.
struct CRendered {
    std::unique_ptr<CImageSurface> surface;
    CRenderStats stats;
};

CRendered RenderFitted(CSceneAnchor& scene, EDisplayMode displayMode, int width, int height) {
    CViewCamera camera;
    camera.scene = &scene;
    camera.displayMode = displayMode;
    camera.SetViewportRect(0, 0, width, height);
    camera.SetStandardView(1);
    camera.standardView = 1;
    CRendered result;
    result.surface = std::make_unique<CImageSurface>(width, height, kUnrendered);
    ZoomAll(camera);
    const EShading shading =
        displayMode == kModeRendered ? EShading::kPerPixel : EShading::kVertexColours;
    result.stats =
        RenderPicture(MakeRenderRequest(camera, WholeScene(scene), *result.surface, shading, 1));
    return result;
}

class SampleRenderTest : public ::testing::TestWithParam<std::tuple<std::string, EDisplayMode>> {};

TEST_P(SampleRenderTest, FillsAFairPartOfThePicture) {
    const auto& [name, displayMode] = GetParam();
    const std::unique_ptr<CSample> sample = LoadSample(name);
    ASSERT_EQ(sample->report.status, CLoadReport::kOk);
    constexpr int kWidth = 200;
    constexpr int kHeight = 150;
    const CRendered r = RenderFitted(sample->scene, displayMode, kWidth, kHeight);
    EXPECT_EQ(r.stats.rowsDelivered, kHeight);
    EXPECT_FALSE(r.stats.interrupted);
    int covered = 0;
    int unrendered = 0;
    int top = kHeight;
    int bottom = -1;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const uint32_t p = r.surface->Pixel(x, y);
            unrendered += p == kUnrendered ? 1 : 0;
            if (p != kBackground && p != kUnrendered) {
                ++covered;
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    EXPECT_EQ(unrendered, 0);
    const double share = static_cast<double>(covered) / (kWidth * kHeight);
    // Zoom All makes the piece as large as the picture allows, never larger.
    EXPECT_GT(share, 0.05);
    EXPECT_LT(share, 0.9);
    // Rendered about the middle of the picture, as Zoom All centres it.
    EXPECT_LT(top, kHeight / 2);
    EXPECT_GT(bottom, kHeight / 2);
}

INSTANTIATE_TEST_SUITE_P(Samples, SampleRenderTest,
                         ::testing::Combine(::testing::ValuesIn(kSampleNames),
                                            ::testing::Values(kModeRendered,
                                                              kModeRenderedVertexColours)),
                         [](const ::testing::TestParamInfo<SampleRenderTest::ParamType>& info) {
                             return std::get<0>(info.param) + "_mode" +
                                    std::to_string(std::get<1>(info.param));
                         });

}  // namespace
}  // namespace orva

namespace orva {
namespace {

// The samples as the programs show them: with the gem library and materials the build ships.
class ShippedSamplesTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_previousGemLibrary = GemLibrary().Path();
        m_previousMaterials = MaterialDirectory();
        GemLibrary().SetPath(ORVA_GEMLIB);
        SetMaterialDirectory(ORVA_MATERIAL_DIR);
    }
    void TearDown() override {
        GemLibrary().SetPath(m_previousGemLibrary);
        SetMaterialDirectory(m_previousMaterials);
    }

private:
    std::string m_previousGemLibrary;
    std::string m_previousMaterials;
};

TEST_F(ShippedSamplesTest, EveryMaterialTheSamplesNameIsShipped) {
    int named = 0;
    for (const auto& sample : LoadAllSamples()) {
        Walk(sample->scene.first, false, [&](const CSceneObject& o, bool) {
            if (o.materialName == nullptr || o.materialName[0] == '\0') {
                return;
            }
            ++named;
            CMaterialRecord record;
            EXPECT_TRUE(LoadMaterialRecord(o.materialName, record))
                << sample->name << ": " << Describe(o);
        });
    }
    EXPECT_GT(named, 20);
}

double Luminance(uint32_t bgr) {
    const double r = bgr & 0xFF, g = (bgr >> 8) & 0xFF, b = (bgr >> 16) & 0xFF;
    return 0.299 * r + 0.587 * g + 0.114 * b;
}

// Red minus blue: large for yellow gold, small for a colourless stone.
int Warmth(uint32_t bgr) {
    return int(bgr & 0xFF) - int((bgr >> 16) & 0xFF);
}

TEST_F(ShippedSamplesTest, SolitaireMetalIsPolishedAndItsStoneIsNotMetal) {
    const std::unique_ptr<CSample> sample = LoadSample("solitaire_ring");
    ASSERT_EQ(sample->report.status, CLoadReport::kOk);
    const CRendered r = RenderFitted(sample->scene, kModeRendered, 320, 240);
    // Gold: the warm pixels. Polished metal shows the studio: bright and dark reflections,
    // not one flat colour as a material without its maps would.
    std::vector<double> gold;
    for (int y = 0; y < 240; ++y) {
        for (int x = 0; x < 320; ++x) {
            const uint32_t p = r.surface->Pixel(x, y);
            if (p != kBackground && Warmth(p) > 60) {
                gold.push_back(Luminance(p));
            }
        }
    }
    ASSERT_GT(gold.size(), 2000u);
    double mean = 0.0;
    for (double l : gold) {
        mean += l / double(gold.size());
    }
    double variance = 0.0;
    for (double l : gold) {
        variance += (l - mean) * (l - mean) / double(gold.size());
    }
    EXPECT_GT(std::sqrt(variance), 20.0) << "mean " << mean;
    const auto [darkest, brightest] = std::minmax_element(gold.begin(), gold.end());
    EXPECT_GT(*brightest - *darkest, 120.0);
    // The stone sits at the top in the middle, where Zoom All puts the setting: its pixels
    // are not gold.
    int stone = 0;
    for (int y = 0; y < 20; ++y) {
        for (int x = 150; x < 170; ++x) {
            const uint32_t p = r.surface->Pixel(x, y);
            stone += p != kBackground && std::abs(Warmth(p)) < 30 ? 1 : 0;
        }
    }
    EXPECT_GT(stone, 100);
}

TEST_F(ShippedSamplesTest, PicturesAreTheSameForAnyNumberOfThreads) {
    for (const std::string name : {"pendant", "channel_band"}) {
        const std::unique_ptr<CSample> sample = LoadSample(name);
        CImageSurface one(160, 120, kUnrendered);
        CImageSurface two(160, 120, kUnrendered);
        for (auto [surface, threads] : {std::pair{&one, 1}, std::pair{&two, 2}}) {
            CViewCamera camera;
            camera.scene = &sample->scene;
            camera.SetViewportRect(0, 0, 160, 120);
            camera.SetStandardView(1);
            ZoomAll(camera);
            RenderPicture(MakeRenderRequest(camera, WholeScene(sample->scene), *surface,
                                            EShading::kPerPixel, threads));
        }
        EXPECT_EQ(one.Pixels(), two.Pixels()) << name;
    }
}

TEST_F(ShippedSamplesTest, EverySampleHasAHundredSquareThumbnail) {
    for (const std::string& name : kSampleNames) {
        BmpImage image;
        CBmpReadInfo info;
        // Joined as a path: GCC 12 misreads the inlined string concatenation under link-time
        // optimisation as an overflow.
        const std::string path =
            (std::filesystem::path(ORVA_SAMPLES_DIR) / (name + ".bmp")).string();
        ASSERT_EQ(ReadBmpFile(path, image, &info), 1) << name;
        EXPECT_EQ(image.width, 100);
        EXPECT_EQ(image.height, 100);
        EXPECT_EQ(info.bitsPerPixel, 24);
        int covered = 0;
        for (int y = 0; y < 100; ++y) {
            for (int x = 0; x < 100; ++x) {
                const uint8_t* p = image.pixels + y * image.stride + 3 * x;
                covered += p[0] != 228 || p[1] != 228 || p[2] != 228 ? 1 : 0;
            }
        }
        EXPECT_GT(covered, 500) << name;
        ReleaseBmpImage(image);
    }
}

}  // namespace
}  // namespace orva
