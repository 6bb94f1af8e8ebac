#pragma once

#include "geometry/vector3.h"

namespace orva {

struct CRenderMaterial;

// The one light sits at the eye: it shines along the viewing axis, and the viewer looks along
// the same axis, so a picture looks alike from every side of the object.
inline constexpr CVector3 kLightDirection{0.0f, 0.0f, 1.0f};

// Colour of a vertex in per-vertex shading: the material's base colour (already carrying the
// mode-300 adjustment) times the diffuse factor, each component at most 1. Normals pointing
// away from the viewer by more than a hair are turned round, so back faces are lit too.
CVector3 LightVertex(const CRenderMaterial& material, CVector3 normal);

struct CLightFactors {
    float diffuse = 0.0f;    // D, 0..1
    float highlight = 0.0f;  // K, 0..1
};

// Diffuse and highlight factors of a pixel. `normal` is turned towards the viewer and
// normalised in place, because the shader goes on with that normal. The highlight is a linear
// ramp from `threshold` up to a mirror direction pointing straight at the viewer.
CLightFactors LightPixel(CVector3& normal, float threshold);

}  // namespace orva
