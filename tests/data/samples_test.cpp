#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "geometry/bspline_surface.h"
#include "image/bmp_image.h"
#include "image/bmp_reader.h"
#include "render/render_scene.h"
#include "scene/extrusion.h"
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
            const auto ends = [](const CSurfaceDirection& d) {
                return CSplineEnds{d.freeStart != 0, d.freeEnd != 0, d.closed != 0};
            };
            const CSurfaceGrid grid = SampleSurface(surface->points, surface->nu, surface->nv,
                                                    ends(surface->u), ends(surface->v), 4, 4, true);
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
        BmpReadInfo info;
        ASSERT_EQ(ReadBmpFile(std::string(ORVA_SAMPLES_DIR) + "/" + name + ".bmp", image, &info), 1)
            << name;
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
