#pragma once

#include "scene/object_list.h"
#include "scene/placed_object.h"

namespace orva {

// How a group combines its children in the rendered picture.
enum EGroupKind : int32_t {
    kGroupMeshUnion = 1,
    kGroupUnion = 2,
    kGroupIntersection = 3,
    kGroupDifference = 4
};

// Deepest nesting of groups a file may have; deeper records are rejected, so reading,
// copying and deleting never recurse without bound.
inline constexpr int kMaxGroupNesting = 64;

// Ordered children combined by a solid operation. A difference group whose first child was
// stored with a marked state has that child as the base the others are cut from.
class CGroup : public CPlacedObject {
public:
    int32_t GetTypeId() const override { return kTypeGroup; }
    void Transform(CMatrix4 m, int all) override;
    void Draw(CObjectDrawer& drawer, EDisplayMode mode) const override;
    std::unique_ptr<CSceneObject> Clone() const override;
    void Read(CByteReader& in) override;
    void Write(CByteWriter& out) const override;
    void GetBounds(CVector3& min, CVector3& max, const CMatrix4& m) const override;
    void SwapContents(CSceneObject& other) override { SwapSameClass(*this, other); }

    // A difference group without a marked base shows, measures and moves only its first child.
    bool OnlyFirstChildCounts() const { return kind == kGroupDifference && baseMarked == 0; }

    int32_t kind = kGroupUnion;  // 8-bit
    // Always owned, whatever the kind: files make no other kind of child.
    CObjectList children;
    int32_t baseMarked = 0;

private:
    // Children of state 0 or 1 are kept; in a difference, a first child stored with a marked
    // state is kept too, as the base. Every other child is read and dropped at once.
    void ReadChildList(CByteReader& in);
};

}  // namespace orva
