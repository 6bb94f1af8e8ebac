#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "render/shading/map_coordinates.h"
#include "render/shading/render_material.h"

namespace orva {
namespace {

CRenderMaterial Mapping(int mode) {
    CRenderMaterial material;
    material.mappingMode = mode;
    return material;
}

void ExpectUv(CMapCoordinates uv, double u, double v) {
    EXPECT_NEAR(uv.u, u, 1e-6);
    EXPECT_NEAR(uv.v, v, 1e-6);
}

TEST(MapCoordinatesTest, SurfaceMappingAndUnknownModesKeepTheInterpolatedCoordinates) {
    ExpectUv(MapCoordinates(Mapping(kMappingSurface), {5, 6, 7}, 0.3f, 0.9f), 0.3, 0.9);
    ExpectUv(MapCoordinates(Mapping(7), {5, 6, 7}, 0.3f, 0.9f), 0.3, 0.9);
}

TEST(MapCoordinatesTest, PlanarMappingTakesXAndYOfThePointInMapSpace) {
    CRenderMaterial material = Mapping(kMappingPlanar);
    ExpectUv(MapCoordinates(material, {0.2f, -0.6f, 5}, 0, 0), 0.6, 0.2);
    // The mapping matrix brings the point into the map's space first.
    material.mappingMatrix = CMatrix4::Scaling(0.5f, 0.25f, 1);
    material.mappingMatrix[12] = 0.1f;
    ExpectUv(MapCoordinates(material, {0.8f, 2, 0}, 0, 0), (0.4 + 0.1 + 1) * 0.5, (0.5 + 1) * 0.5);
}

TEST(MapCoordinatesTest, CylindricalMappingTakesTheAngleAroundZAndTheHeight) {
    const CRenderMaterial material = Mapping(kMappingCylindrical);
    ExpectUv(MapCoordinates(material, {1, 0, 0}, 0, 0), 0.0, 0.5);
    ExpectUv(MapCoordinates(material, {0, 2, 0.5f}, 0, 0), 0.25, 0.75);
    ExpectUv(MapCoordinates(material, {-3, 0, -1}, 0, 0), 0.5, 0.0);
    ExpectUv(MapCoordinates(material, {0, -1, -0.5f}, 0, 0), 0.75, 0.25);
    ExpectUv(MapCoordinates(material, {1, -1, 0}, 0, 0), 0.875, 0.5);
    // On the axis the angle is undefined and u is 0.
    ExpectUv(MapCoordinates(material, {0.001f, -0.001f, 0.2f}, 0, 0), 0.0, 0.6);
}

TEST(MapCoordinatesTest, SphericalMappingTakesTheAngleAroundZAndTheElevation) {
    const CRenderMaterial material = Mapping(kMappingSpherical);
    ExpectUv(MapCoordinates(material, {1, 0, 1}, 0, 0), 0.0, 0.75);
    ExpectUv(MapCoordinates(material, {0, 2, 0}, 0, 0), 0.25, 0.5);
    ExpectUv(MapCoordinates(material, {0, 0, -2}, 0, 0), 0.0, 0.0);
    ExpectUv(MapCoordinates(material, {0, 0, 2}, 0, 0), 0.0, 1.0);
    const double elevation = std::asin(1.0 / std::sqrt(3.0)) / std::numbers::pi + 0.5;
    ExpectUv(MapCoordinates(material, {-1, -1, 1}, 0, 0), 0.625, elevation);
    // The centre has no direction at all.
    ExpectUv(MapCoordinates(material, {0, 0, 0.001f}, 0.5f, 0.5f), 0.0, 0.0);
}

}  // namespace
}  // namespace orva
