#pragma once

#include "scene/scene_object.h"

namespace orva {

// Reference plane through the frame's origin, perpendicular to a coordinate axis.
class CRefPlane : public CSceneObject {
public:
    int32_t GetTypeId() const override { return kTypeRefPlane; }
    std::unique_ptr<CSceneObject> Clone() const override;
    void Read(CByteReader& in) override;
    void Write(CByteWriter& out) const override;
    // A slab 20000 wide, flat along the axis at the frame's origin. A plane whose axis is
    // not 0, 1 or 2 measures nothing (the box stays inverted).
    void GetBounds(CVector3& min, CVector3& max, const CMatrix4& m) const override;
    void SwapContents(CSceneObject& other) override { SwapSameClass(*this, other); }

    int32_t axis = 2;
};

}  // namespace orva
