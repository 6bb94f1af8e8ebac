#include <gtest/gtest.h>

#include <cmath>

#include "scattered_lights.h"
#include "studio_environment.h"

namespace orva {
namespace {

CVector3 Direction(float azimuthDegrees, float elevationDegrees) {
    const float az = azimuthDegrees * float(M_PI) / 180.0f;
    const float el = elevationDegrees * float(M_PI) / 180.0f;
    return {std::sin(az) * std::cos(el), std::sin(el), std::cos(az) * std::cos(el)};
}

void ExpectColour(CVector3 actual, CVector3 expected, float tolerance = 1e-3f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

TEST(StudioEnvironmentTest, BackdropTakesItsStopsAndEasesBetweenThem) {
    CStudioEnvironment studio;
    studio.gradient = {{-30.0f, {10.0f, 10.0f, 10.0f}}, {30.0f, {70.0f, 130.0f, 250.0f}}};
    ExpectColour(StudioRadiance(studio, Direction(0, -90)), {10, 10, 10});
    ExpectColour(StudioRadiance(studio, Direction(123, -30)), {10, 10, 10});
    ExpectColour(StudioRadiance(studio, Direction(-50, 30)), {70, 130, 250});
    ExpectColour(StudioRadiance(studio, Direction(0, 90)), {70, 130, 250});
    // Half-way up the colour is half-way; a quarter up it has moved less than a quarter.
    ExpectColour(StudioRadiance(studio, Direction(77, 0)), {40, 70, 130});
    const CVector3 quarter = StudioRadiance(studio, Direction(0, -15));
    EXPECT_GT(quarter.x, 10.0f);
    EXPECT_LT(quarter.x, 25.0f);
    ExpectColour(StudioRadiance(CStudioEnvironment{}, Direction(0, 0)), {0, 0, 0});
}

TEST(StudioEnvironmentTest, SoftboxLightsItsRectangleAndFadesOverItsSoftEdge) {
    CStudioEnvironment studio;
    studio.gradient = {{0.0f, {5.0f, 5.0f, 5.0f}}};
    const CSoftbox box{.azimuth = 90.0f,  // to the viewer's right
                       .elevation = 10.0f,
                       .width = 20.0f,
                       .height = 10.0f,
                       .softness = 4.0f,
                       .colour = {300.0f, 200.0f, 100.0f}};
    studio.softboxes = {box};
    // Straight to the right (+x), ten degrees up.
    const CVector3 centre = Normalized({1.0f, std::tan(10.0f * float(M_PI) / 180.0f), 0.0f});
    ExpectColour(StudioRadiance(studio, centre), {305, 205, 105});
    ExpectColour(StudioRadiance(studio, Direction(97, 12)), {305, 205, 105});  // inside both
    ExpectColour(StudioRadiance(studio, Direction(103, 10)), {5, 5, 5});       // past the side
    ExpectColour(StudioRadiance(studio, Direction(90, 18)), {5, 5, 5});        // above the top
    ExpectColour(StudioRadiance(studio, Direction(-90, 10)), {5, 5, 5});       // on the left
    // On the edge itself half of the light remains.
    ExpectColour(StudioRadiance(studio, Direction(90, 15)), {155, 105, 55}, 0.5f);
}

TEST(StudioEnvironmentTest, AzimuthZeroIsBehindTheViewerAndOneEightyBehindTheObject) {
    CStudioEnvironment studio;
    CSoftbox front;
    front.colour = {100.0f, 0.0f, 0.0f};
    CSoftbox back;
    back.azimuth = 180.0f;
    back.colour = {0.0f, 0.0f, 100.0f};
    studio.softboxes = {front, back};
    ExpectColour(StudioRadiance(studio, {0.0f, 0.0f, 1.0f}), {100, 0, 0});
    ExpectColour(StudioRadiance(studio, {0.0f, 0.0f, -1.0f}), {0, 0, 100});
}

TEST(ScatteredLightsTest, SameSeedSameLightsWithinTheBand) {
    CScatteredLights scatter;
    scatter.count = 200;
    scatter.seed = 42;
    scatter.minElevation = -20.0f;
    scatter.maxElevation = 50.0f;
    scatter.size = 7.0f;
    const std::vector<CSoftbox> a = ScatterLights(scatter);
    const std::vector<CSoftbox> b = ScatterLights(scatter);
    ASSERT_EQ(a.size(), 200u);
    int above = 0, right = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].azimuth, b[i].azimuth);
        EXPECT_EQ(a[i].elevation, b[i].elevation);
        EXPECT_GE(a[i].elevation, -20.0f);
        EXPECT_LE(a[i].elevation, 50.0f);
        EXPECT_GE(a[i].azimuth, -180.0f);
        EXPECT_LT(a[i].azimuth, 180.0f);
        EXPECT_EQ(a[i].width, 7.0f);
        above += a[i].elevation > 15.0f ? 1 : 0;
        right += a[i].azimuth > 0.0f ? 1 : 0;
    }
    // Spread over the whole band, not bunched at one end or side.
    EXPECT_GT(right, 70);
    EXPECT_LT(right, 130);
    EXPECT_GT(above, 60);
    EXPECT_LT(above, 140);
    scatter.seed = 43;
    EXPECT_NE(ScatterLights(scatter)[0].azimuth, a[0].azimuth);
    scatter.seed = 0;  // a seed like any other
    EXPECT_EQ(ScatterLights(scatter).size(), 200u);
}

}  // namespace
}  // namespace orva
