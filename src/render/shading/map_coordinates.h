#pragma once

#include "geometry/vector3.h"

namespace orva {

struct CRenderMaterial;

struct CMapCoordinates {
    float u = 0.0f;
    float v = 0.0f;
};

// Where a surface point reads the material's colour and bump maps. Planar, cylindrical and
// spherical mapping take the point through the material's mapping matrix and project it onto
// the map's unit square (planar: x and y; cylindrical: angle around z and height z; spherical:
// angle around z and elevation); any other mapping mode keeps the interpolated (u, v).
CMapCoordinates MapCoordinates(const CRenderMaterial& material, CVector3 surfacePoint, float u,
                               float v);

}  // namespace orva
