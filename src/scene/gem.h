#pragma once

#include "scene/placed_object.h"

namespace orva {

// A shape of the gem library, placed by a matrix. Gems with the same index share the shape.
class CGem : public CPlacedObject {
public:
    int32_t GetTypeId() const override { return kTypeGem; }
    void Draw(CObjectDrawer& drawer, EDisplayMode mode) const override;
    std::unique_ptr<CSceneObject> Clone() const override;
    void Read(CByteReader& in) override;
    void Write(CByteWriter& out) const override;
    // The library shape's box under placement * M; inverted when the index selects nothing.
    void GetBounds(CVector3& min, CVector3& max, const CMatrix4& m) const override;
    void SwapContents(CSceneObject& other) override { SwapSameClass(*this, other); }

    int32_t gemIndex = 0;
};

}  // namespace orva
