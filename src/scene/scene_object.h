#pragma once

#include <cstdint>
#include <memory>
#include <typeinfo>

#include "geometry/matrix4.h"
#include "scene/display_mode.h"

namespace orva {

class CByteReader;
class CByteWriter;
class CObjectDrawer;

// Type ids that name the object classes in files.
enum EObjectType : int32_t {
    kTypeCurve = 2,
    kTypeSurface = 3,
    kTypePolyMesh = 4,
    kTypeExtrusion = 5,
    kTypeGroup = 32,
    kTypeRefPlane = 90,
    kTypeGem = 99,
};

// Display state of a record that described nothing: kept in its list, never shown.
inline constexpr int32_t kEmptyRecordState = -9999;

// Root of every scene object. Objects are chained through `next` in the list that owns them.
class CSceneObject {
public:
    CSceneObject() = default;
    virtual ~CSceneObject() = default;

    // 0 for this root class and reference planes, 1 for point sets, 2 for placed objects.
    virtual int GetCategory() const { return 0; }
    // Applies M; with all == 0 only what is selected moves.
    virtual void Transform(CMatrix4 m, int all);
    virtual int32_t GetTypeId() const { return 0; }
    // Interactive display through the drawer the display installs.
    virtual void Draw(CObjectDrawer& drawer, EDisplayMode mode) const;
    // A deep copy that belongs to no list.
    virtual std::unique_ptr<CSceneObject> Clone() const;
    // Reads the record of this class from the stream (the type id has been read).
    virtual void Read(CByteReader& in);
    // Writes the same fields in the same order.
    virtual void Write(CByteWriter& out) const;
    // Axis-aligned box of the object under M.
    virtual void GetBounds(CVector3& min, CVector3& max, const CMatrix4& m) const;
    // Exchanges the complete contents with another object of the same class, except `next`.
    // Objects of different classes are left as they are.
    virtual void SwapContents(CSceneObject& other);

    bool IsShown() const { return displayState == 0 || displayState == 1; }

    CSceneObject* next = nullptr;
    // 0 shown, 1 highlighted, -9999 empty record, anything else hidden.
    int32_t displayState = 0;
    // Bit 0: reserved flag (carried only); bits 8..23: class extension bits.
    int32_t flagWord = 0;
    int32_t neverCut = 0;  // 1: the renderer never subtracts this object
    int32_t cutter = 0;    // 1: the renderer subtracts this object from the others
    // Axes and origin; Transform rotates and moves it but never scales it.
    CMatrix4 frame;
    int32_t materialValue = 0;  // mapping mode of the render material, 0..255
    // Its inverse maps the object into texture space; Transform takes the full matrix.
    CMatrix4 materialMatrix;
    // Material file name; the text belongs to the name pool.
    const char* materialName = nullptr;
    int32_t colourIndex = 0;

    // Copies and moves carry the contents but never the list position.
    CSceneObject(const CSceneObject& other);
    CSceneObject& operator=(const CSceneObject& other);
    CSceneObject(CSceneObject&& other) noexcept
        : CSceneObject(static_cast<const CSceneObject&>(other)) {}
    CSceneObject& operator=(CSceneObject&& other) noexcept {
        return *this = static_cast<const CSceneObject&>(other);
    }

protected:
    void ReadBaseRecord(CByteReader& in);
    void WriteBaseRecord(CByteWriter& out, int32_t flagWordToWrite) const;
    void TransformBase(const CMatrix4& m);
};

// Resets a box to "nothing yet": min at +1e30, max at -1e30.
void ResetBounds(CVector3& min, CVector3& max);
// Widens [min, max] by [otherMin, otherMax] component by component.
void MergeBounds(CVector3& min, CVector3& max, const CVector3& otherMin, const CVector3& otherMax);
// A box that never received a point (min above max in some component).
bool BoundsEmpty(const CVector3& min, const CVector3& max);

// Swaps two objects of exactly the same class T, leaving both `next` fields in place.
template <class T>
void SwapSameClass(T& self, CSceneObject& other) {
    T* peer = dynamic_cast<T*>(&other);
    if (peer == nullptr || peer == &self || typeid(*peer) != typeid(self)) {
        return;
    }
    T kept(std::move(self));
    self = std::move(*peer);
    *peer = std::move(kept);
}

}  // namespace orva
