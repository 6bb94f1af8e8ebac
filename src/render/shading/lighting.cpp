#include "render/shading/lighting.h"

#include <algorithm>

#include "render/shading/render_material.h"

namespace orva {

namespace {

// Below this the surface holds no highlight at all rather than an infinitely steep one.
constexpr float kMinimumHighlightRamp = 0.001f;

float HighlightRamp(float r, float threshold) {
    if (!(r >= 0.0f)) {
        return 0.0f;
    }
    if (r >= 1.0f) {
        return 1.0f;
    }
    const float k = r - threshold;
    const float ramp = 1.0f - threshold;
    if (k < 0.0f || ramp < kMinimumHighlightRamp) {
        return 0.0f;
    }
    return std::min(k / ramp, 1.0f);
}

}  // namespace

CVector3 LightVertex(const CRenderMaterial& material, CVector3 normal) {
    // Vertex normals of faces seen edge-on scatter around zero; only a clear back face flips.
    if (normal.z < -0.001f) {
        normal = normal * -1.0f;
    }
    normal = Normalized(normal);
    const float d = std::clamp(DotProduct(normal, kLightDirection), 0.0f, 1.0f);
    CVector3 colour;
    for (int c = 0; c < 3; ++c) {
        colour[c] = std::min(d * material.baseColour[c], 1.0f);
    }
    return colour;
}

CLightFactors LightPixel(CVector3& normal, float threshold) {
    if (normal.z < 0.0f) {
        normal = normal * -1.0f;
    }
    normal = Normalized(normal);
    const float nl = DotProduct(normal, kLightDirection);
    CLightFactors light;
    light.diffuse = nl > 0.0f ? std::min(nl, 1.0f) : 0.0f;
    // The viewer's component of the light mirrored about the normal.
    const float r = 2.0f * nl * normal.z - kLightDirection.z;
    light.highlight = HighlightRamp(r, threshold);
    return light;
}

}  // namespace orva
