#pragma once

#include "scene/scene_object.h"

namespace orva {

// Objects whose contents are drawn and measured under a placement matrix: extrusions,
// groups and gems.
class CPlacedObject : public CSceneObject {
public:
    int GetCategory() const override { return 2; }
    // With all != 0: the frame and material update, then placement := placement * M.
    // A selective transform moves nothing.
    void Transform(CMatrix4 m, int all) override;

    CMatrix4 placement;

protected:
    CPlacedObject() = default;
    void ReadPlacedRecord(CByteReader& in);
    void WritePlacedRecord(CByteWriter& out) const;
};

}  // namespace orva
