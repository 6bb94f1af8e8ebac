#pragma once

#include <cstdint>

#include "geometry/vector3.h"

namespace orva {

struct CShadingContext;
struct CRenderMaterial;

// What the span interpolates for one fragment of a per-pixel shaded surface.
struct CShadingInputs {
    float u = 0.0f;  // surface coordinates, used unless the material maps by position
    float v = 0.0f;
    CVector3 surfacePoint;  // in object space
    CVector3 normal;
    CVector3 tangentU;  // surface derivatives, for the bump map
    CVector3 tangentV;
};

// Shades one fragment of `material` into `pixel` (blue, green, red) at window column and row:
// colour and bump maps, diffuse light, the highlight, the reflection and gloss maps, and
// blending over the pixel's old colour by the transparency. The eye direction comes from the
// context's projection centre and the depth of the fragment being shaded. Components are
// rounded to the nearest byte and kept within 0..255. Returns the share of the old colour that
// shows through (0 for an opaque surface).
float ShadePixel(const CShadingContext& ctx, const CRenderMaterial& material, uint8_t* pixel,
                 int column, int row, const CShadingInputs& inputs);

}  // namespace orva
