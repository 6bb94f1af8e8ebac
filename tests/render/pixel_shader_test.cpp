#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <vector>

#include "image/bmp_bytes.h"
#include "material_folder.h"
#include "render/render_context.h"
#include "render/shading/lighting.h"
#include "render/shading/pixel_shader.h"
#include "render/shading/render_material.h"

namespace orva {
namespace {

using test::Rgb;
using Colour = std::array<double, 3>;

// The pixel at (kColumn, kRow) looks straight along the viewing axis, so its mirror vector is
// (-n.x, -n.y, n.z).
constexpr int kColumn = 320;
constexpr int kRow = 240;

class PixelShaderTest : public test::MaterialFolderTest {
protected:
    void SetUp() override {
        MaterialFolderTest::SetUp();
        m_ctx.projectionCentre.centreColumn = kColumn;
        m_ctx.projectionCentre.centreRow = kRow;
        m_ctx.projectionCentre.focalDistance = 240;
        m_ctx.projectionCentre.fragmentDepth = 15;
    }

    // Shades a pixel whose old colour is `old` (red, green, blue) and returns red, green, blue.
    std::array<int, 3> Shade(const CRenderMaterial& material, CVector3 normal,
                             std::array<uint8_t, 3> old = {200, 100, 40}, int column = kColumn,
                             int row = kRow, CShadingInputs inputs = {}) {
        uint8_t pixel[3] = {old[2], old[1], old[0]};
        inputs.normal = normal;
        ShadePixel(m_ctx, material, pixel, column, row, inputs);
        return {pixel[2], pixel[1], pixel[0]};
    }

    // A uniform map made through the bitmap reader; released with the fixture.
    const BmpImage* UniformMap(Rgb colour) { return Map(1, 1, {colour}); }
    const BmpImage* Map(int width, int height, const std::vector<Rgb>& pixels) {
        m_maps.push_back(std::make_unique<test::ScopedBmpImage>());
        test::MakeImage(m_maps.back()->image, width, height, pixels);
        return &m_maps.back()->image;
    }

    CRenderContext m_ctx;
    std::vector<std::unique_ptr<test::ScopedBmpImage>> m_maps;
};

// A byte is the component rounded to the nearest of 0..255.
void ExpectPixel(std::array<int, 3> actual, Colour expected) {
    for (int c = 0; c < 3; ++c) {
        EXPECT_NEAR(actual[c], expected[c] * 255.0, 0.502) << "component " << c;
    }
}

Colour Blend(Colour colour, double t, std::array<uint8_t, 3> old) {
    Colour out;
    for (int c = 0; c < 3; ++c) {
        out[c] = (1 - t) * colour[c] + t * old[c] / 255.0;
    }
    return out;
}

double Screen(double a, double b) {
    return a + b - a * b;
}

CRenderMaterial Plain(Colour base, Colour ambient = {0, 0, 0}, Colour highlight = {0, 0, 0}) {
    CRenderMaterial m;
    m.baseColour = {float(base[0]), float(base[1]), float(base[2])};
    m.ambientColour = {float(ambient[0]), float(ambient[1]), float(ambient[2])};
    m.highlightColour = {float(highlight[0]), float(highlight[1]), float(highlight[2])};
    return m;
}

TEST_F(PixelShaderTest, MissingMaterialIsMidGreyLitByTheDiffuseFactor) {
    const CRenderMaterial& material = LoadRenderMaterial(m_ctx, "Missing");
    ExpectPixel(Shade(material, {0, 3, 4}), {0.4, 0.4, 0.4});    // D = 0.8
    ExpectPixel(Shade(material, {0, -3, -4}), {0.4, 0.4, 0.4});  // back face, same light
    ExpectPixel(Shade(material, {1, 0, 0}), {0, 0, 0});
    // Threshold 1.0: only a normal pointing at the viewer carries the (white) highlight.
    ExpectPixel(Shade(material, {0, 0, 1}), {1, 1, 1});
    const double d = 0.5 / std::sqrt(1.0 + 0.01 * 0.01);
    ExpectPixel(Shade(material, {0, 0.01f, 1}), {d, d, d});
}

TEST_F(PixelShaderTest, AmbientIsALowerBoundAndTheHighlightScreensOverTheLitColour) {
    CRenderMaterial material = Plain({0.5, 0.5, 0.5}, {0.2, 0.4, 0.0}, {1.0, 0.5, 0.0});
    material.highlightThreshold = 0.5f;
    // n.z^2 = 0.875: D = sqrt(0.875), r = 0.75, K = (0.75 - 0.5) / 0.5 = 0.5.
    const double d = std::sqrt(0.875);
    const CVector3 n{float(std::sqrt(0.125)), 0, float(d)};
    const double lit = 0.5 * d;
    ExpectPixel(Shade(material, n),
                {Screen(0.5, lit), Screen(0.25, std::max(lit, 0.4)), Screen(0.0, lit)});
    // Edge-on: no light, no highlight, the ambient colour remains.
    ExpectPixel(Shade(material, {1, 0, 0}), {0.2, 0.4, 0.0});
}

TEST_F(PixelShaderTest, TransparencyBlendsOverTheOldPixelAndGrazingKeepsThreeQuarters) {
    CRenderMaterial material = Plain({0.8, 0.4, 0.2});
    material.transparency = 0.6f;
    const std::array<uint8_t, 3> old{200, 100, 40};
    // Facing the viewer: all of the transparency.
    ExpectPixel(Shade(material, {0, 0, 1}, old), Blend({0.8, 0.4, 0.2}, 0.6, old));
    // Edge-on: the mirror vector lies in the screen, 75 % of it.
    ExpectPixel(Shade(material, {1, 0, 0}, old), Blend({0, 0, 0}, 0.6 * 0.75, old));
    // |m.z| = 0.2: 0.75 + 4 * 0.04 of it; D = 0.2.
    const CVector3 n{float(std::sqrt(0.96)), 0, 0.2f};
    ExpectPixel(Shade(material, n, old), Blend({0.16, 0.08, 0.04}, 0.6 * 0.91, old));
    // |m.z| = 0.3 is past the reduction.
    const CVector3 n3{float(std::sqrt(0.91)), 0, 0.3f};
    ExpectPixel(Shade(material, n3, old), Blend({0.24, 0.12, 0.06}, 0.6, old));
    // Opaque materials ignore the old pixel.
    ExpectPixel(Shade(Plain({0.8, 0.4, 0.2}), {0, 0, 1}, old), {0.8, 0.4, 0.2});
}

TEST_F(PixelShaderTest, ReflectionMapReplacesTheLitColourWithoutDiffuseOrHighlight) {
    CRenderMaterial material = Plain({0.8, 0.6, 0.4}, {0, 0, 0}, {1, 1, 1});
    material.transparency = 0.5f;
    material.reflectionMap = UniformMap({100, 50, 200});
    const std::array<uint8_t, 3> old{10, 20, 30};
    const Colour g{1.2 * 100 / 255, 1.2 * 50 / 255, 1.2 * 200 / 255};
    const Colour reflected{g[0] * 0.8, g[1] * 0.6, g[2] * 0.4};
    // D = 0.8 is not applied; the brightest component (blue) takes transparency away.
    ExpectPixel(Shade(material, {0, 3, 4}, old), Blend(reflected, 0.5 * (1 - g[2]), old));
    // Facing the viewer the highlight (K = 1) would give white; the reflection replaces it.
    ExpectPixel(Shade(material, {0, 0, 1}, old), Blend(reflected, 0.5 * (1 - g[2]), old));
}

TEST_F(PixelShaderTest, BrightReflectionPushesTowardsWhiteAndMakesTheSurfaceOpaque) {
    CRenderMaterial material = Plain({0.8, 0.6, 0.4});
    material.transparency = 1.0f;
    material.reflectionMap = UniformMap({255, 60, 60});
    const double dim = 1.2 * 60 / 255;
    // Red: 1.2 * 1 > 1, so 0.8 + 4 * 0.2 * (1 - 0.8); the others scale the base colour.
    ExpectPixel(Shade(material, {0, 3, 4}, {250, 250, 250}),
                {0.8 + 4 * 0.2 * 0.2, dim * 0.6, dim * 0.4});
}

TEST_F(PixelShaderTest, GlossMapScreensOverTheColourAndTakesTransparencyAway) {
    CRenderMaterial material = Plain({0.5, 0.5, 0.5});
    material.transparency = 0.4f;
    material.glossMap = UniformMap({51, 102, 0});
    const std::array<uint8_t, 3> old{0, 255, 128};
    const Colour glossed{Screen(0.2, 0.5), Screen(0.4, 0.5), Screen(0.0, 0.5)};
    ExpectPixel(Shade(material, {0, 0, 1}, old), Blend(glossed, 0.4 * (1 - 0.4), old));
}

TEST_F(PixelShaderTest, ColourMapScreensTheBaseColourAndTintsTheAmbient) {
    CRenderMaterial material = Plain({0.5, 0.6, 0.3}, {0.2, 0.4, 0.2});
    material.colourMap = UniformMap({255, 0, 102});
    const Colour base{Screen(1.0, 0.5), Screen(0.0, 0.6), Screen(0.4, 0.3)};
    ExpectPixel(Shade(material, {0, 0, 1}), base);
    ExpectPixel(Shade(material, {1, 0, 0}), {0.2 * base[0], 0.4 * base[1], 0.2 * base[2]});
}

TEST_F(PixelShaderTest, ColourMapIsReadWhereTheMappingModeSays) {
    CRenderMaterial material = Plain({0, 0, 0});
    material.colourMap = Map(4, 1, {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}});
    CShadingInputs inputs;
    inputs.u = 0.75f;                           // column 3
    inputs.surfacePoint = {-0.5f, 0.0f, 0.0f};  // planar: u = 0.25, column 1
    ExpectPixel(Shade(material, {0, 0, 1}, {}, kColumn, kRow, inputs), {1, 1, 0});
    material.mappingMode = kMappingPlanar;
    ExpectPixel(Shade(material, {0, 0, 1}, {}, kColumn, kRow, inputs), {0, 1, 0});
}

TEST_F(PixelShaderTest, BumpMapTiltsTheNormalByTheBrightnessSlope) {
    CRenderMaterial material = Plain({1, 1, 1});
    std::vector<Rgb> ramp;
    for (int x = 0; x < 8; ++x) {
        const auto grey = static_cast<uint8_t>(30 * x);
        ramp.push_back({grey, grey, grey});
    }
    material.bumpMap = Map(8, 1, ramp);
    CShadingInputs inputs;
    inputs.tangentU = {2, 0, 0};
    inputs.tangentV = {0, 5, 0};
    // Column 3: bu = 180 / 765; the normal becomes (-bu, 0, 1) normalised, D its z.
    inputs.u = 3.0f / 8.0f;
    const double bu = 180.0 / 765.0;
    const double d = 1.0 / std::sqrt(1.0 + bu * bu);
    ExpectPixel(Shade(material, {0, 0, 1}, {}, kColumn, kRow, inputs), {d, d, d});
    // Column 0 wraps: bu = -540 / 765.
    inputs.u = 0.0f;
    const double bu0 = -540.0 / 765.0;
    const double d0 = 1.0 / std::sqrt(1.0 + bu0 * bu0);
    ExpectPixel(Shade(material, {0, 0, 1}, {}, kColumn, kRow, inputs), {d0, d0, d0});

    // Brightness rising with u tilts the normal towards -x, so the mirror vector leans to +x:
    // a gloss map black on its left half and white on its right half reads white there.
    material.baseColour = {0, 0, 0};
    material.glossMap = Map(4, 1, {{0, 0, 0}, {0, 0, 0}, {255, 255, 255}, {255, 255, 255}});
    inputs.u = 3.0f / 8.0f;
    ExpectPixel(Shade(material, {0, 0, 1}, {}, kColumn, kRow, inputs), {1, 1, 1});
}

TEST_F(PixelShaderTest, BackFacesReflectLikeTheirFrontFaces) {
    // Gloss map columns red, green, blue, white, read at u = (m.x + 1) / 2.
    CRenderMaterial material = Plain({0, 0, 0});
    material.glossMap = Map(4, 1, {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}});
    const float z = float(std::sqrt(0.75));
    // Front face (-0.5, 0, z): m = (0.5, 0, z), u = 0.75, column 3.
    ExpectPixel(Shade(material, {-0.5f, 0, z}), {1, 1, 1});
    // Its back face is turned round first and so mirrors the same way.
    ExpectPixel(Shade(material, {0.5f, 0, -z}), {1, 1, 1});
    // The opposite tilt reads column 1.
    ExpectPixel(Shade(material, {0.5f, 0, z}), {0, 1, 0});
}

// The eye direction of an off-centre pixel comes from the projection centre (rows growing
// downwards) and the fragment's depth. Seen 15 degrees off axis, a surface facing the axis
// mirrors the eye at 30 degrees: m = (sin 30, 0, cos 30) for a tilt along the rows.
TEST_F(PixelShaderTest, MirrorVectorUsesTheProjectionCentreAndTheFragmentDepth) {
    // Eye z = 8 * focal distance - depth; the offset of 259 pixels is 15 degrees.
    const double eyeZ = 259.0 / std::tan(15.0 * 3.14159265358979 / 180.0);
    m_ctx.projectionCentre.focalDistance = 100;
    m_ctx.projectionCentre.fragmentDepth = static_cast<float>(800.0 - eyeZ);
    // Gloss map rows, bottom first: black, red, green, blue. m.y = 0.5 reads row 3, 0 row 2,
    // -0.5 row 1.
    CRenderMaterial gloss = Plain({0, 0, 0});
    gloss.glossMap = Map(1, 4, {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}});
    ExpectPixel(Shade(gloss, {0, 0, 1}, {}, kColumn, kRow - 259), {0, 0, 1});  // above
    ExpectPixel(Shade(gloss, {0, 0, 1}, {}, kColumn, kRow), {0, 1, 0});
    ExpectPixel(Shade(gloss, {0, 0, 1}, {}, kColumn, kRow + 259), {1, 0, 0});  // below
    // The reflection map is read along -m: columns black, red, green, blue, so m.x = 0.5
    // (right of the centre) reads column 1 and -0.5 column 3.
    CRenderMaterial mirror = Plain({1, 1, 1});
    mirror.reflectionMap = Map(4, 1, {{0, 0, 0}, {200, 0, 0}, {0, 200, 0}, {0, 0, 200}});
    const double g = 1.2 * 200 / 255;
    ExpectPixel(Shade(mirror, {0, 0, 1}, {}, kColumn + 259, kRow), {g, 0, 0});
    ExpectPixel(Shade(mirror, {0, 0, 1}, {}, kColumn - 259, kRow), {0, 0, g});
}

TEST_F(PixelShaderTest, ComponentsOutsideZeroToOneStayWithinAByte) {
    const CRenderMaterial bright = Plain({1.7, -0.4, 0.5});
    ExpectPixel(Shade(bright, {0, 0, 1}), {1.0, 0.0, 0.5});
    // A normal that is not a number leaves a valid (black) pixel.
    const float nan = std::nanf("");
    ExpectPixel(Shade(Plain({0.5, 0.5, 0.5}), {nan, nan, nan}), {0, 0, 0});
}

}  // namespace
}  // namespace orva
