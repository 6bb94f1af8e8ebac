#include <gtest/gtest.h>

#include <cmath>

#include "render/shading/lighting.h"
#include "render/shading/render_material.h"

namespace orva {
namespace {

CRenderMaterial WithBase(float r, float g, float b) {
    CRenderMaterial material;
    material.baseColour = {r, g, b};
    return material;
}

void ExpectColour(CVector3 actual, double r, double g, double b) {
    EXPECT_NEAR(actual.x, r, 1e-6);
    EXPECT_NEAR(actual.y, g, 1e-6);
    EXPECT_NEAR(actual.z, b, 1e-6);
}

TEST(LightVertexTest, BaseColourScaledByTheNormalsTurnTowardsTheViewer) {
    const CRenderMaterial material = WithBase(0.4f, 0.6f, 0.8f);
    ExpectColour(LightVertex(material, {0, 0, 2}), 0.4, 0.6, 0.8);
    // (0, 3, 4) has length 5: D = 0.8.
    ExpectColour(LightVertex(material, {0, 3, 4}), 0.32, 0.48, 0.64);
    ExpectColour(LightVertex(material, {1, 0, 0}), 0, 0, 0);
}

TEST(LightVertexTest, BackFacesAreLitLikeFrontFacesButOnlyBeyondAHair) {
    const CRenderMaterial material = WithBase(0.4f, 0.6f, 0.8f);
    ExpectColour(LightVertex(material, {0, -3, -4}), 0.32, 0.48, 0.64);
    // Just below zero stays unturned and so gets no light at all.
    ExpectColour(LightVertex(material, {1, 0, -0.0005f}), 0, 0, 0);
    // Past -0.001 it is turned round: D = 0.002 / |n|.
    const double d = 0.002 / std::sqrt(1.0 + 0.002 * 0.002);
    ExpectColour(LightVertex(material, {1, 0, -0.002f}), 0.4 * d, 0.6 * d, 0.8 * d);
}

TEST(LightVertexTest, ComponentsStayAtMostOne) {
    ExpectColour(LightVertex(WithBase(1.5f, 0.2f, 1.0f), {0, 0, 1}), 1.0, 0.2, 1.0);
}

TEST(LightPixelTest, TurnsTheNormalTowardsTheViewerAndNormalisesIt) {
    CVector3 n{0, -3, -4};
    const CLightFactors light = LightPixel(n, 1.0f);
    EXPECT_NEAR(light.diffuse, 0.8, 1e-6);
    EXPECT_NEAR(n.x, 0.0, 1e-7);
    EXPECT_NEAR(n.y, 0.6, 1e-6);
    EXPECT_NEAR(n.z, 0.8, 1e-6);

    CVector3 edgeOn{0, 2, 0};
    EXPECT_EQ(LightPixel(edgeOn, 1.0f).diffuse, 0.0f);
    EXPECT_NEAR(edgeOn.y, 1.0, 1e-7);
}

// A unit normal whose mirror of the light has viewer component r = 2 n.z^2 - 1.
CVector3 NormalWithMirror(double r) {
    const double z2 = (r + 1.0) / 2.0;
    return {static_cast<float>(std::sqrt(1.0 - z2)), 0.0f, static_cast<float>(std::sqrt(z2))};
}

TEST(LightPixelTest, HighlightIsALinearRampFromTheThresholdToTheViewer) {
    CVector3 n = NormalWithMirror(0.75);
    EXPECT_NEAR(LightPixel(n, 0.5f).highlight, (0.75 - 0.5) / 0.5, 1e-5);
    n = NormalWithMirror(0.875);
    EXPECT_NEAR(LightPixel(n, 0.5f).highlight, (0.875 - 0.5) / 0.5, 1e-5);
    n = NormalWithMirror(0.4);
    EXPECT_EQ(LightPixel(n, 0.5f).highlight, 0.0f);  // below the threshold
    n = NormalWithMirror(-0.6);
    EXPECT_EQ(LightPixel(n, 0.0f).highlight, 0.0f);  // mirror turned away from the viewer
    n = {0, 0, 1};
    EXPECT_EQ(LightPixel(n, 0.5f).highlight, 1.0f);
}

TEST(LightPixelTest, DefaultThresholdLightsOnlyANormalPointingAtTheViewer) {
    CVector3 n{0, 0, 3};
    CLightFactors light = LightPixel(n, 1.0f);
    EXPECT_EQ(light.highlight, 1.0f);
    EXPECT_EQ(light.diffuse, 1.0f);
    n = {0.01f, 0, 1};
    EXPECT_EQ(LightPixel(n, 1.0f).highlight, 0.0f);
}

TEST(LightPixelTest, ShininessExtremesGiveANarrowAndAWideRamp) {
    // 100 %: s = 0.998001, a ramp 0.001999 wide.
    CVector3 n = NormalWithMirror(0.9995);
    EXPECT_NEAR(LightPixel(n, 0.998001f).highlight, (0.9995 - 0.998001) / 0.001999, 2e-3);
    n = NormalWithMirror(0.998);
    EXPECT_EQ(LightPixel(n, 0.998001f).highlight, 0.0f);
    // 0 %: s = 0.000001, the ramp starts almost at the silhouette.
    n = NormalWithMirror(0.5);
    EXPECT_NEAR(LightPixel(n, 0.000001f).highlight, (0.5 - 0.000001) / 0.999999, 1e-5);
    // A ramp narrower than 0.001 gives no highlight below r = 1 rather than a steep one.
    n = NormalWithMirror(0.9998);
    EXPECT_EQ(LightPixel(n, 0.9995f).highlight, 0.0f);
}

}  // namespace
}  // namespace orva
