#pragma once

#include <vector>

#include "scene/object_list.h"
#include "scene/placed_object.h"

namespace orva {

// Bevel along the top or bottom edge of an extrusion's wall.
enum EBevelKind : int32_t { kBevelNone = 0, kBevelRounded = 1, kBevelChamfer = 2 };

// Closed planar profiles extruded along a coordinate axis. Reading generates the walls and
// bevel bands (surfaces) and the outlines (curves); display, bounds and rendering work on
// those generated objects, never on the profiles directly.
class CExtrusion : public CPlacedObject {
public:
    int32_t GetTypeId() const override { return kTypeExtrusion; }
    void Draw(CObjectDrawer& drawer, EDisplayMode mode) const override;
    std::unique_ptr<CSceneObject> Clone() const override;
    void Read(CByteReader& in) override;
    void Write(CByteWriter& out) const override;
    void GetBounds(CVector3& min, CVector3& max, const CMatrix4& m) const override;
    void SwapContents(CSceneObject& other) override { SwapSameClass(*this, other); }

    int32_t ProfileCount() const { return static_cast<int32_t>(pointCounts.size()); }
    // The three axes are coordinate indices 0..2; profiles with other axes generate nothing.
    bool HasValidAxes() const;

    int32_t firstPlaneAxis = 0;
    int32_t secondPlaneAxis = 1;
    int32_t extrusionAxis = 2;
    int32_t topBevel = kBevelNone;
    int32_t bottomBevel = kBevelNone;
    float depth = 0.0f;
    // Width and height of a bevel; generation replaces it by the effective size.
    float bevelSize = 0.0f;
    std::vector<int32_t> pointCounts;     // per profile
    std::vector<int32_t> stepsPerSpan;    // per profile
    std::vector<CVector3> profilePoints;  // all profiles, one after the other

    CObjectList curves;    // bottom and top outline of every profile
    CObjectList surfaces;  // wall, bottom bevel, top bevel of every profile (those made)
};

}  // namespace orva
