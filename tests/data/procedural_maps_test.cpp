#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "image/bmp_bytes.h"
#include "image/bmp_reader.h"
#include "material_set.h"
#include "procedural_maps.h"
#include "render/render_context.h"
#include "render/shading/pixel_shader.h"
#include "render/shading/render_material.h"
#include "studio_environment.h"

namespace orva {
namespace {

// The pixel at the projection centre looks straight along the viewing axis.
constexpr int kColumn = 100;
constexpr int kRow = 80;

// A backdrop and one coloured light off to the upper right: no symmetry, so a map read upside
// down or mirrored shows the wrong colour. Every value stays below the level at which the
// shader starts to push reflections towards white.
CStudioEnvironment LopsidedStudio() {
    CStudioEnvironment studio;
    studio.gradient = {{-90.0f, {20.0f, 40.0f, 60.0f}},
                       {0.0f, {120.0f, 100.0f, 80.0f}},
                       {90.0f, {200.0f, 170.0f, 40.0f}}};
    const CSoftbox light{.azimuth = 60.0f,
                         .elevation = 20.0f,
                         .width = 40.0f,
                         .height = 30.0f,
                         .softness = 20.0f,
                         .colour = {0.0f, 0.0f, 130.0f}};
    studio.softboxes = {light};
    return studio;
}

// What a viewer looking along -z sees in a mirror with normal n.
CVector3 MirroredView(CVector3 n) {
    return Normalized(2.0f * n.z * n - CVector3{0.0f, 0.0f, 1.0f});
}

std::vector<CVector3> FrontNormals() {
    std::vector<CVector3> normals;
    for (float x = -0.7f; x <= 0.71f; x += 0.35f) {
        for (float y = -0.7f; y <= 0.71f; y += 0.35f) {
            if (x * x + y * y <= 0.7f && (x != 0.0f || y != 0.0f)) {
                normals.push_back({x, y, std::sqrt(1.0f - x * x - y * y)});
            }
        }
    }
    return normals;
}

// Draws the map through the generator's own folder writer and reads it back as the renderer
// would.
class ProceduralMapTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder = std::filesystem::temp_directory_path() /
                   ("orva-maps-" + std::to_string(getpid()) + "-" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
        m_ctx.projectionCentre.centreColumn = kColumn;
        m_ctx.projectionCentre.centreRow = kRow;
        m_ctx.projectionCentre.focalDistance = 100;
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

    const BmpImage& Drawn(CMapSlot slot) {
        CMaterialSet set;
        CProceduralMap map;
        map.name = "Lopsided";
        map.slot = slot;
        map.studio = LopsidedStudio();
        set.maps.push_back(map);
        EXPECT_TRUE(WriteMaterialSet(set, m_folder.string()));
        EXPECT_EQ(ReadBmpFile((m_folder / "TxtrMap" / "Lopsided.bmp").string(), m_map.image), 1);
        return m_map.image;
    }

    CVector3 Shade(const CRenderMaterial& material, CVector3 normal) {
        uint8_t pixel[3] = {0, 0, 0};
        CShadingInputs inputs;
        inputs.normal = normal;
        ShadePixel(m_ctx, material, pixel, kColumn, kRow, inputs);
        return {float(pixel[2]), float(pixel[1]), float(pixel[0])};
    }

    std::filesystem::path m_folder;
    CRenderContext m_ctx;
    test::ScopedBmpImage m_map;
};

TEST_F(ProceduralMapTest, ReflectionMapShowsTheStudioAlongTheMirroredView) {
    CRenderMaterial material;
    material.reflectionMap = &Drawn(CMapSlot::kReflection);
    material.baseColour = {0.5f, 0.5f, 0.5f};
    for (const CVector3& n : FrontNormals()) {
        const CVector3 seen = StudioRadiance(LopsidedStudio(), MirroredView(n));
        const CVector3 shaded = Shade(material, n);
        // The shader scales the map by 1.2 and then by the base colour.
        for (int c = 0; c < 3; ++c) {
            EXPECT_NEAR(shaded[c], 0.6f * seen[c], 3.0f)
                << "channel " << c << " normal " << n.x << "," << n.y;
        }
    }
}

TEST_F(ProceduralMapTest, GlossMapShowsTheSameStudioUprightInItsOwnSlot) {
    CRenderMaterial material;
    material.glossMap = &Drawn(CMapSlot::kGloss);
    material.baseColour = {0.0f, 0.0f, 0.0f};  // black under the gloss: the map shows as it is
    for (const CVector3& n : FrontNormals()) {
        const CVector3 seen = StudioRadiance(LopsidedStudio(), MirroredView(n));
        const CVector3 shaded = Shade(material, n);
        for (int c = 0; c < 3; ++c) {
            EXPECT_NEAR(shaded[c], seen[c], 3.0f)
                << "channel " << c << " normal " << n.x << "," << n.y;
        }
    }
}

TEST(ProceduralMapDrawingTest, TintScalesAndRimAddsTowardsTheOutline) {
    CProceduralMap map;
    map.size = 64;
    map.studio.gradient = {{-90.0f, {100.0f, 100.0f, 100.0f}}};  // the same everywhere
    map.tint = {255.0f, 127.5f, 0.0f};
    map.rim = {0.0f, 0.0f, 200.0f};
    map.rimWidth = 0.5f;
    const CMapPicture picture = DrawProceduralMap(map);
    ASSERT_EQ(picture.size, 64);
    ASSERT_EQ(picture.bgr.size(), 64u * 64u * 3u);
    auto texel = [&](int column, int row) { return &picture.bgr[(row * 64 + column) * 3]; };
    // Row 32 from the top is v = 31/64, almost through the centre; column 32 is u = 0.5.
    const uint8_t* centre = texel(32, 32);
    EXPECT_EQ(centre[2], 100);  // red unchanged
    EXPECT_EQ(centre[1], 50);   // green halved
    EXPECT_LE(centre[0], 1);    // no blue at the middle, where the surface faces the viewer
    const uint8_t* outline = texel(63, 32);
    EXPECT_GE(outline[0], 150);  // the rim's blue near the edge of the ball
}

TEST(ProceduralMapDrawingTest, NormalsOfTheTwoSlotsAreOppositeInThePictureButNotInDepth) {
    const CVector3 r = NormalForMapCoordinates(CMapSlot::kReflection, 0.8f, 0.6f);
    const CVector3 g = NormalForMapCoordinates(CMapSlot::kGloss, 0.8f, 0.6f);
    EXPECT_NEAR(r.x, 0.6f, 1e-6f);
    EXPECT_NEAR(r.y, 0.2f, 1e-6f);
    EXPECT_NEAR(g.x, -r.x, 1e-6f);
    EXPECT_NEAR(g.y, -r.y, 1e-6f);
    EXPECT_NEAR(g.z, r.z, 1e-6f);
    EXPECT_NEAR(Length(r), 1.0f, 1e-6f);
    // Outside the ball's disk: the outline, facing sideways.
    const CVector3 corner = NormalForMapCoordinates(CMapSlot::kReflection, 1.0f, 1.0f);
    EXPECT_NEAR(corner.z, 0.0f, 1e-6f);
    EXPECT_NEAR(Length(corner), 1.0f, 1e-6f);
}

}  // namespace
}  // namespace orva
