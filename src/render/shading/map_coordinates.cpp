#include "render/shading/map_coordinates.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "geometry/matrix4.h"
#include "render/shading/render_material.h"

namespace orva {

namespace {

// Points this close to the axis (or the centre) have no defined angle; they take 0.
constexpr float kAxisTolerance = 0.00001f;
constexpr float kInversePi = std::numbers::inv_pi_v<float>;

float AngleAroundAxis(CVector3 p) {
    const float rho2 = p.x * p.x + p.y * p.y;
    if (rho2 < kAxisTolerance) {
        return 0.0f;
    }
    // Rounding may put the cosine a hair outside -1..1, where acos has no value.
    const float cosine = std::clamp(p.x / std::sqrt(rho2), -1.0f, 1.0f);
    const float u = std::acos(cosine) * 0.5f * kInversePi;
    return p.y < 0.0f ? 1.0f - u : u;
}

float Elevation(CVector3 p) {
    const float r2 = p.x * p.x + p.y * p.y + p.z * p.z;
    if (r2 < kAxisTolerance) {
        return 0.0f;
    }
    const float sine = std::clamp(p.z / std::sqrt(r2), -1.0f, 1.0f);
    return std::asin(sine) * kInversePi + 0.5f;
}

}  // namespace

CMapCoordinates MapCoordinates(const CRenderMaterial& material, CVector3 surfacePoint, float u,
                               float v) {
    const int mode = material.mappingMode;
    if (mode != kMappingPlanar && mode != kMappingCylindrical && mode != kMappingSpherical) {
        return {u, v};
    }
    const CVector3 p = TransformPoint(surfacePoint, material.mappingMatrix);
    if (mode == kMappingPlanar) {
        return {(p.x + 1.0f) * 0.5f, (p.y + 1.0f) * 0.5f};
    }
    if (mode == kMappingCylindrical) {
        return {AngleAroundAxis(p), (p.z + 1.0f) * 0.5f};
    }
    return {AngleAroundAxis(p), Elevation(p)};
}

}  // namespace orva
