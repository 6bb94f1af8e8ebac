#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "material_folder.h"
#include "render/render_context.h"
#include "render/shading/lighting.h"
#include "render/shading/render_material.h"
#include "render/shading/texture_sampling.h"
#include "scene_writer.h"

namespace orva {
namespace {

using test::Rgb;

void ExpectVector(CVector3 actual, double x, double y, double z) {
    EXPECT_NEAR(actual.x, x, 1e-6);
    EXPECT_NEAR(actual.y, y, 1e-6);
    EXPECT_NEAR(actual.z, z, 1e-6);
}

void ExpectDefaults(const CRenderMaterial& m) {
    ExpectVector(m.ambientColour, 0, 0, 0);
    ExpectVector(m.baseColour, 0.5, 0.5, 0.5);
    ExpectVector(m.highlightColour, 1, 1, 1);
    EXPECT_EQ(m.highlightThreshold, 1.0f);
    EXPECT_EQ(m.transparency, 0.0f);
    EXPECT_EQ(m.colourMap, nullptr);
    EXPECT_EQ(m.bumpMap, nullptr);
    EXPECT_EQ(m.reflectionMap, nullptr);
    EXPECT_EQ(m.glossMap, nullptr);
    EXPECT_TRUE(m.needsNormal);
    EXPECT_FALSE(m.needsSurfacePoint);
    EXPECT_FALSE(m.needsTextureCoordinates);
    EXPECT_FALSE(m.needsTangents);
    EXPECT_EQ(m.mappingMode, kMappingSurface);
    EXPECT_EQ(m.mappingMatrix, CMatrix4::Identity());
}

// The red component of the map's bottom-left pixel tells which file was loaded.
int RedOf(const BmpImage* map) {
    return map == nullptr ? -1 : map->pixels[2];
}

CMaterialDescription WithMaps(const std::string& colour, const std::string& bump = "",
                              const std::string& reflection = "", const std::string& gloss = "") {
    CMaterialDescription d;
    d.maps = {colour, bump, reflection, gloss};
    return d;
}

using RenderMaterialTest = test::MaterialFolderTest;

TEST_F(RenderMaterialTest, MissingOrAbsentMaterialGivesTheDefaults) {
    // A file that an empty name would turn into must not be read for an absent name.
    CMaterialDescription other;
    other.base = {255, 0, 0};
    WriteMaterial("material/.mtl", other);
    WriteMaterial(".mtl", other);
    CRenderContext ctx;
    ExpectDefaults(LoadRenderMaterial(ctx, nullptr));
    ExpectDefaults(LoadRenderMaterial(ctx, ""));
    ExpectDefaults(LoadRenderMaterial(ctx, "Nowhere"));
    EXPECT_EQ(std::distance(ctx.materialList.begin(), ctx.materialList.end()), 3);

    std::vector<uint8_t> wrong = WriteMaterialBytes(other);
    wrong[3] = 'x';
    ASSERT_TRUE(WriteFileBytes((m_root / "material/Wrong.mtl").string(), wrong));
    ExpectDefaults(LoadRenderMaterial(ctx, "Wrong"));
}

TEST_F(RenderMaterialTest, ConvertsColoursAndPercentages) {
    CMaterialDescription d;
    d.ambient = {51, 102, 153};
    d.base = {255, 0, 128};
    d.highlight = {10, 20, 30};
    d.shininess = 50;
    d.transparency = 25;
    WriteMaterial("material/Gold.mtl", d);
    CRenderContext ctx;
    const CRenderMaterial& m = LoadRenderMaterial(ctx, "Gold");
    ExpectVector(m.ambientColour, 0.2, 0.4, 0.6);
    ExpectVector(m.baseColour, 1.0, 0.0, 128 / 255.0);
    ExpectVector(m.highlightColour, 10 / 255.0, 20 / 255.0, 30 / 255.0);
    EXPECT_NEAR(m.highlightThreshold, (0.5 - 0.001) * (0.5 - 0.001), 1e-6);
    EXPECT_NEAR(m.transparency, 0.25, 1e-6);
    EXPECT_TRUE(m.needsNormal);
    EXPECT_FALSE(m.needsSurfacePoint);
}

TEST_F(RenderMaterialTest, PercentagesAndColoursOutsideTheirRangeAreClamped) {
    struct Case {
        int shininess, transparency;
        double threshold, t;
    };
    const Case cases[] = {{100, 100, 0.998001, 1.0},
                          {0, 0, 0.000001, 0.0},
                          {150, 250, 0.998001, 1.0},
                          {-20, -5, 0.000001, 0.0}};
    CRenderContext ctx;
    for (const Case& c : cases) {
        CMaterialDescription d;
        d.shininess = c.shininess;
        d.transparency = c.transparency;
        d.ambient = {-10, 300, 255};
        WriteMaterial("material/M.mtl", d);
        const CRenderMaterial& m = LoadRenderMaterial(ctx, "M");
        EXPECT_NEAR(m.highlightThreshold, c.threshold, 1e-7) << c.shininess;
        EXPECT_NEAR(m.transparency, c.t, 1e-7) << c.transparency;
        ExpectVector(m.ambientColour, 0.0, 1.0, 1.0);
    }
}

TEST_F(RenderMaterialTest, PerVertexShadingFoldsTheAmbientIntoTheBaseAndLoadsNoMaps) {
    CMaterialDescription d = WithMaps("Tex", "Tex", "Tex", "Tex");
    d.ambient = {51, 102, 204};
    d.base = {255, 51, 0};
    WriteMaterial("material/M.mtl", d);
    WriteBmp("material/TxtrMap/Tex.bmp", 1, 1, {{9, 9, 9}});
    CRenderContext ctx;
    ctx.shadingModeSwitch = EShading::kVertexColours;
    const CRenderMaterial& m = LoadRenderMaterial(ctx, "M");
    // base + 0.75 a - 0.75 a base, a = 0.2, 0.4, 0.8.
    ExpectVector(m.baseColour, 1.0 + 0.15 - 0.15, 0.2 + 0.3 - 0.06, 0.0 + 0.6 - 0.0);
    EXPECT_EQ(m.colourMap, nullptr);
    EXPECT_EQ(m.glossMap, nullptr);
    EXPECT_FALSE(m.needsTangents);
    EXPECT_TRUE(ctx.imageCache.empty());
    // The vertex colour takes the adjusted base: D = 0.8 at (0, 3, 4).
    ExpectVector(LightVertex(m, {0, 3, 4}), 0.8, 0.8 * 0.44, 0.8 * 0.6);
    // A missing material in this mode is still the plain grey (no ambient to fold in).
    ExpectVector(LightVertex(LoadRenderMaterial(ctx, "Nowhere"), {0, 3, 4}), 0.4, 0.4, 0.4);

    ctx.shadingModeSwitch = EShading::kPerPixel;
    const CRenderMaterial& perPixel = LoadRenderMaterial(ctx, "M");
    ExpectVector(perPixel.baseColour, 1.0, 0.2, 0.0);
    EXPECT_EQ(RedOf(perPixel.colourMap), 9);
}

TEST_F(RenderMaterialTest, MapsAreLookedForInTxtrMapThenTheMaterialFolderThenHere) {
    WriteMaterial("material/M.mtl", WithMaps("Studio"));
    WriteBmp("material/TxtrMap/Studio.bmp", 1, 1, {{1, 0, 0}});
    WriteBmp("material/Studio.bmp", 1, 1, {{2, 0, 0}});
    WriteBmp("Studio.bmp", 1, 1, {{3, 0, 0}});
    for (int expected : {1, 2, 3}) {
        CRenderContext ctx;
        EXPECT_EQ(RedOf(LoadRenderMaterial(ctx, "M").colourMap), expected);
        Remove(expected == 1 ? "material/TxtrMap/Studio.bmp"
                             : (expected == 2 ? "material/Studio.bmp" : "Studio.bmp"));
    }
    // Present nowhere: no map, and the rest of the material stays.
    CMaterialDescription d = WithMaps("Studio");
    d.base = {0, 255, 0};
    WriteMaterial("material/M.mtl", d);
    CRenderContext ctx;
    const CRenderMaterial& m = LoadRenderMaterial(ctx, "M");
    EXPECT_EQ(m.colourMap, nullptr);
    EXPECT_FALSE(m.needsTextureCoordinates);
    ExpectVector(m.baseColour, 0, 1, 0);
}

TEST_F(RenderMaterialTest, MapNamesMayUseBackslashesAndAnotherCase) {
    std::filesystem::create_directories(m_root / "material/TxtrMap/Metals");
    WriteBmp("material/TxtrMap/Metals/Brushed.BMP", 1, 1, {{7, 0, 0}});
    WriteMaterial("material/M.mtl", WithMaps("metals\\brushed.bmp", "METALS\\Brushed"));
    CRenderContext ctx;
    const CRenderMaterial& m = LoadRenderMaterial(ctx, "M");
    EXPECT_EQ(RedOf(m.colourMap), 7);
    EXPECT_EQ(m.bumpMap, m.colourMap);  // both names resolve to the same file
}

TEST_F(RenderMaterialTest, NeedsFollowTheMapsPresent) {
    WriteBmp("material/TxtrMap/Tex.bmp", 1, 1, {{5, 0, 0}});
    WriteMaterial("material/Colour.mtl", WithMaps("Tex"));
    WriteMaterial("material/Bump.mtl", WithMaps("", "Tex"));
    WriteMaterial("material/Mirror.mtl", WithMaps("", "", "Tex", "Tex"));
    CRenderContext ctx;
    const CRenderMaterial& colour = LoadRenderMaterial(ctx, "Colour");
    EXPECT_TRUE(colour.needsSurfacePoint);
    EXPECT_TRUE(colour.needsTextureCoordinates);
    EXPECT_FALSE(colour.needsTangents);
    EXPECT_NE(colour.colourMap, nullptr);
    const CRenderMaterial& bump = LoadRenderMaterial(ctx, "Bump");
    EXPECT_TRUE(bump.needsSurfacePoint);
    EXPECT_TRUE(bump.needsTextureCoordinates);
    EXPECT_TRUE(bump.needsTangents);
    EXPECT_EQ(bump.colourMap, nullptr);
    EXPECT_NE(bump.bumpMap, nullptr);
    const CRenderMaterial& mirror = LoadRenderMaterial(ctx, "Mirror");
    EXPECT_FALSE(mirror.needsSurfacePoint);
    EXPECT_FALSE(mirror.needsTextureCoordinates);
    EXPECT_FALSE(mirror.needsTangents);
    EXPECT_TRUE(mirror.needsNormal);
    EXPECT_NE(mirror.reflectionMap, nullptr);
    EXPECT_NE(mirror.glossMap, nullptr);
}

TEST_F(RenderMaterialTest, OneImageIsSharedByEveryMaterialNamingIt) {
    WriteBmp("material/TxtrMap/Studio.bmp", 2, 1, {{10, 0, 0}, {20, 0, 0}});
    WriteBmp("material/TxtrMap/Other.bmp", 1, 1, {{30, 0, 0}});
    WriteMaterial("material/A.mtl", WithMaps("Studio", "", "Studio"));
    WriteMaterial("material/B.mtl", WithMaps("", "", "studio.BMP", "Other"));
    CRenderContext ctx;
    const CRenderMaterial& a = LoadRenderMaterial(ctx, "A");
    const CRenderMaterial& b = LoadRenderMaterial(ctx, "B");
    ASSERT_NE(a.colourMap, nullptr);
    EXPECT_EQ(a.reflectionMap, a.colourMap);
    EXPECT_EQ(b.reflectionMap, a.colourMap);
    EXPECT_EQ(RedOf(b.glossMap), 30);
    EXPECT_EQ(std::distance(ctx.imageCache.begin(), ctx.imageCache.end()), 2);
    // Each request is a record of its own, so per-object settings stay apart; newest first.
    CRenderMaterial& again = LoadRenderMaterial(ctx, "A");
    EXPECT_NE(&again, &a);
    again.mappingMode = kMappingSpherical;
    EXPECT_EQ(a.mappingMode, kMappingSurface);
    EXPECT_EQ(&ctx.materialList.front(), &again);
    EXPECT_EQ(again.colourMap, a.colourMap);
}

TEST_F(RenderMaterialTest, MapsThatFailToLoadAreTriedAgainLater) {
    WriteMaterial("material/M.mtl", WithMaps("Late", "Broken"));
    ASSERT_TRUE(WriteFileBytes((m_root / "material/TxtrMap/Broken.bmp").string(), {'B', 'X'}));
    CRenderContext ctx;
    const CRenderMaterial& before = LoadRenderMaterial(ctx, "M");
    EXPECT_EQ(before.colourMap, nullptr);
    EXPECT_EQ(before.bumpMap, nullptr);
    EXPECT_TRUE(ctx.imageCache.empty());
    WriteBmp("material/TxtrMap/Late.bmp", 1, 1, {{40, 0, 0}});
    EXPECT_EQ(RedOf(LoadRenderMaterial(ctx, "M").colourMap), 40);
    EXPECT_EQ(std::distance(ctx.imageCache.begin(), ctx.imageCache.end()), 1);
}

TEST_F(RenderMaterialTest, ReleaseFreesMaterialsAndImagesAndTheContextStaysUsable) {
    WriteBmp("material/TxtrMap/Tex.bmp", 1, 1, {{50, 0, 0}});
    WriteMaterial("material/M.mtl", WithMaps("Tex"));
    CRenderContext ctx;
    LoadRenderMaterial(ctx, "M");
    LoadRenderMaterial(ctx, nullptr);
    ReleaseRenderMaterials(ctx);
    EXPECT_TRUE(ctx.materialList.empty());
    EXPECT_TRUE(ctx.imageCache.empty());
    // A fresh render loads the map again; what is left at the end goes with the context.
    EXPECT_EQ(RedOf(LoadRenderMaterial(ctx, "M").colourMap), 50);
    EXPECT_EQ(std::distance(ctx.imageCache.begin(), ctx.imageCache.end()), 1);
}

TEST_F(RenderMaterialTest, ContextsKeepTheirOwnImages) {
    WriteBmp("material/TxtrMap/Tex.bmp", 1, 1, {{60, 0, 0}});
    WriteMaterial("material/M.mtl", WithMaps("Tex"));
    CRenderContext first;
    CRenderContext second;
    const BmpImage* a = LoadRenderMaterial(first, "M").colourMap;
    const BmpImage* b = LoadRenderMaterial(second, "M").colourMap;
    ASSERT_NE(a, nullptr);
    EXPECT_NE(a, b);
    ReleaseRenderMaterials(first);
    EXPECT_EQ(RedOf(b), 60);  // the other render's image is untouched
}

}  // namespace
}  // namespace orva
