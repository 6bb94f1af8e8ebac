#include "studio_environment.h"

#include <algorithm>
#include <cmath>

namespace orva {

namespace {

constexpr float kDegrees = 180.0f / 3.14159265358979f;

float SmoothStep(float edge0, float edge1, float x) {
    if (edge1 <= edge0) {
        return x < edge0 ? 0.0f : 1.0f;
    }
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

CVector3 Mix(CVector3 a, CVector3 b, float t) {
    return a * (1.0f - t) + b * t;
}

// The backdrop eases between its stops rather than blending linearly, so a horizon drawn as a
// bright stop between darker ones has no visible kinks where the reflections stretch it.
CVector3 BackdropColour(const std::vector<CGradientStop>& gradient, float elevation) {
    if (gradient.empty()) {
        return {};
    }
    if (elevation <= gradient.front().elevation) {
        return gradient.front().colour;
    }
    for (size_t i = 1; i < gradient.size(); ++i) {
        const CGradientStop& below = gradient[i - 1];
        const CGradientStop& above = gradient[i];
        if (elevation <= above.elevation) {
            return Mix(below.colour, above.colour,
                       SmoothStep(below.elevation, above.elevation, elevation));
        }
    }
    return gradient.back().colour;
}

// 1 inside half of the panel's extent, 0 outside, easing across the soft edge.
float EdgeFactor(float angle, float halfExtent, float softness) {
    const float half = 0.5f * softness;
    return 1.0f - SmoothStep(halfExtent - half, halfExtent + half, std::fabs(angle));
}

// How much of the panel covers `direction`: angles are measured in the panel's own frame, so a
// panel high above the horizon keeps its rectangular shape.
float SoftboxCoverage(const CSoftbox& box, CVector3 direction) {
    const float az = box.azimuth / kDegrees;
    const float el = box.elevation / kDegrees;
    const CVector3 centre{std::sin(az) * std::cos(el), std::sin(el), std::cos(az) * std::cos(el)};
    const CVector3 across{std::cos(az), 0.0f, -std::sin(az)};
    const CVector3 up = CrossProduct(centre, across);
    const float ahead = DotProduct(direction, centre);
    if (ahead <= 0.0f) {
        return 0.0f;
    }
    const float a = std::atan2(DotProduct(direction, across), ahead) * kDegrees;
    const float b = std::atan2(DotProduct(direction, up), ahead) * kDegrees;
    return EdgeFactor(a, 0.5f * box.width, box.softness) *
           EdgeFactor(b, 0.5f * box.height, box.softness);
}

}  // namespace

CVector3 StudioRadiance(const CStudioEnvironment& studio, CVector3 direction) {
    const float elevation = std::asin(std::clamp(direction.y, -1.0f, 1.0f)) * kDegrees;
    CVector3 colour = BackdropColour(studio.gradient, elevation);
    for (const CSoftbox& box : studio.softboxes) {
        colour = colour + SoftboxCoverage(box, direction) * box.colour;
    }
    return colour;
}

}  // namespace orva
