#include "scene/ref_plane.h"

#include "scene/byte_reader.h"
#include "scene/byte_writer.h"

namespace orva {

std::unique_ptr<CSceneObject> CRefPlane::Clone() const {
    return std::make_unique<CRefPlane>(*this);
}

void CRefPlane::Read(CByteReader& in) {
    ReadBaseRecord(in);
    axis = in.ReadInt32();
}

void CRefPlane::Write(CByteWriter& out) const {
    WriteBaseRecord(out, flagWord);
    out.WriteInt32(axis);
}

void CRefPlane::GetBounds(CVector3& min, CVector3& max, const CMatrix4&) const {
    if (axis < 0 || axis > 2) {
        ResetBounds(min, max);
        return;
    }
    min = CVector3(-10000.0f, -10000.0f, -10000.0f);
    max = CVector3(10000.0f, 10000.0f, 10000.0f);
    min[axis] = frame[12 + axis];
    max[axis] = frame[12 + axis];
}

}  // namespace orva
