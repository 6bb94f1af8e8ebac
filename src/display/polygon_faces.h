#pragma once

#include "display/shaded_parts.h"
#include "geometry/matrix4.h"

namespace orva {

class CPolyMesh;

// Every polygon of the mesh, corner by corner. Flat meshes send each face's normal at its
// corners; smooth ones send the averaged normal of the vertex unless it differs from the face
// normal by more than about 26 degrees, so that edges meant to be sharp stay sharp.
CPolygonFaces BuildPolygonFaces(const CPolyMesh& mesh);

// The corner normals for one outcome of the mirror test; the set for a negative outcome is
// made on first use.
const std::vector<CVector3>& PolygonNormals(CPolygonFaces& faces, bool mirrored);

// The mirror test: negative when the object's own transform (the model-view matrix without the
// view) turns handedness, times the mesh's orientation.
bool IsMirrored(const CMatrix4& modelView, const CMatrix4& viewInverse, int32_t orientation);

}  // namespace orva
