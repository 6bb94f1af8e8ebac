#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "geometry/bspline_surface.h"
#include "geometry/vector3.h"

namespace orva {

class CSceneObject;

// A B-spline patch sampled on its grid, in the object's frame (an extrusion's placement
// applied): what its triangles are made of in every view.
struct CPatchTessellation {
    // The extended net: its hull bounds the rows the surface reaches in a view.
    CControlNet net;
    int rows = 0;  // the grid; empty when the net cannot be sampled
    int cols = 0;
    std::vector<CVector3> positions;
    // The derivatives along the grid's rows and columns; where one vanishes (a pole, a
    // collapsed column) it is its neighbour's, which still gives the surface's direction.
    std::vector<CVector3> tangentU;
    std::vector<CVector3> tangentV;
};

// A flat cap triangulated in the order its border winds, three corners per triangle, with the
// normal it is lit with (as given: its length does not matter) and the box its texture is laid
// over. No corners when it has nothing to fill or no usable normal.
struct CCapTessellation {
    std::vector<CVector3> corners;
    CVector3 normal;
    int axisU = 0;  // object axes that give the texture coordinates
    int axisV = 1;
    CVector3 boxMin;
    float scale = 1.0f;
};

// A polygon mesh's corners, each with the normal it is lit with (unit, object space), and its
// triangles as three corner indices each, in the order the polygons wind.
struct CPolygonTessellation {
    std::vector<CVector3> points;
    std::vector<CVector3> normals;
    std::vector<uint32_t> triangles;
};

// Everything of an object's leaves that does not depend on the view, the projection, the part
// of the picture or the material: built once and shared by every band and picture that shows
// the object.
struct CObjectTessellation {
    std::vector<CPatchTessellation> patches;
    std::vector<CCapTessellation> caps;
    CPolygonTessellation polygons;

    std::size_t Bytes() const;
};

// Of a surface (one patch, or none without a valid net, and its caps), an extrusion (its wall
// and bevel patches and its end caps) or a polygon mesh; empty for other objects.
CObjectTessellation TessellateObject(const CSceneObject& object);

}  // namespace orva
