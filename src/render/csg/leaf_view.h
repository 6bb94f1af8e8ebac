#pragma once

#include <cstdint>

#include "geometry/matrix4.h"
#include "geometry/vector3.h"
#include "render/csg/scan_records.h"
#include "render/tessellation/unit_vectors.h"

namespace orva {

struct CCsgContext;

// How the leaves of one object reach the screen. Taken when the object is built: the model
// matrix stack moves on to other objects before a lazily built leaf makes its triangles.
struct CLeafView {
    CMatrix4 projection;  // object point to window column, row and eye depth
    CMatrix4 eye;         // object point to eye space, where normals are lit
    EShading shadingMode = EShading::kPerPixel;
    int firstRow = 0;  // rows of the render rectangle, inclusive
    int lastRow = -1;
};

CLeafView CaptureLeafView(const CCsgContext& ctx, EShading shadingMode);

// A vertex record at the projection of the object point p; everything else is left zero.
CScanVertex ProjectedVertex(CVector3 p, const CLeafView& view);
// The same window position written into a record in place (its other values stay).
void ProjectInto(CScanVertex& v, CVector3 p, const CLeafView& view);

}  // namespace orva
