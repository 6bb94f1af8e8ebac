#pragma once

#include <vector>

#include "scene/scene_object.h"

namespace orva {

// Objects defined by an array of points: curves, surfaces and polygon meshes.
class CPointSetObject : public CSceneObject {
public:
    int GetCategory() const override { return 1; }
    void Transform(CMatrix4 m, int all) override;
    void GetBounds(CVector3& min, CVector3& max, const CMatrix4& m) const override;

    int32_t PointCount() const { return static_cast<int32_t>(points.size()); }

    // Control points or vertices; selection flags run parallel to them (nonzero: selected).
    std::vector<CVector3> points;
    std::vector<int32_t> selection;
    // In the wireframe the control net shows only while this is clear; when set, a selective
    // Transform moves no points.
    int32_t netHidden = 0;

protected:
    CPointSetObject() = default;
    // The base record, then the count and the points with their selection flags.
    void ReadPointSetRecord(CByteReader& in);
    void WritePointSetRecord(CByteWriter& out, int32_t flagWordToWrite) const;
};

}  // namespace orva
