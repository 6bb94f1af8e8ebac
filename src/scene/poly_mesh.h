#pragma once

#include <vector>

#include "scene/point_set_object.h"

namespace orva {

// Polygon mesh over a vertex array. After reading, every polygon it holds indexes only
// vertices that exist: polygons with negative sizes, polygons that run past the index array
// and polygons that name a vertex outside the vertex array are dropped while the record is
// read, so that measuring, drawing and rendering can index without further checks.
class CPolyMesh : public CPointSetObject {
public:
    CPolyMesh() { netHidden = 1; }

    int32_t GetTypeId() const override { return kTypePolyMesh; }
    void Draw(CObjectDrawer& drawer, EDisplayMode mode) const override;
    std::unique_ptr<CSceneObject> Clone() const override;
    void Read(CByteReader& in) override;
    void Write(CByteWriter& out) const override;
    void SwapContents(CSceneObject& other) override { SwapSameClass(*this, other); }

    int32_t PolygonCount() const { return static_cast<int32_t>(polygonSizes.size()); }
    // Removes the polygons that cannot be drawn safely (see the class comment); returns how
    // many were removed.
    int DropInvalidPolygons();

    std::vector<int32_t> polygonSizes;
    // The vertex indices of every polygon, one polygon after the other.
    std::vector<int32_t> vertexIndices;
    // Nonzero: every polygon gets its face normal; zero: smooth vertex normals with creases.
    int32_t flatShading = 1;
    int32_t orientation = 1;
};

}  // namespace orva
