#include "scene/point_set_object.h"

#include "scene/byte_reader.h"
#include "scene/byte_writer.h"

namespace orva {

void CPointSetObject::Transform(CMatrix4 m, int all) {
    CSceneObject::Transform(m, all);
    if (all == 0 && netHidden != 0) {
        return;
    }
    for (size_t i = 0; i < points.size(); ++i) {
        if (all != 0 || (i < selection.size() && selection[i] != 0)) {
            TransformPointInPlace(points[i], m);
        }
    }
}

void CPointSetObject::GetBounds(CVector3& min, CVector3& max, const CMatrix4& m) const {
    ResetBounds(min, max);
    for (const CVector3& p : points) {
        const CVector3 q = TransformPoint(p, m);
        MergeBounds(min, max, q, q);
    }
}

void CPointSetObject::ReadPointSetRecord(CByteReader& in) {
    ReadBaseRecord(in);
    const int32_t count = in.ReadInt32();
    points.clear();
    selection.clear();
    // Each point is three reals and a flag; a count the file cannot hold is not allocated.
    if (count <= 0 || !in.CanHold(count, 4, 4, "point count larger than the rest of the file")) {
        return;
    }
    points.resize(static_cast<size_t>(count));
    selection.resize(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        points[i] = in.ReadPoint();
        selection[i] = in.ReadInt32();
    }
}

void CPointSetObject::WritePointSetRecord(CByteWriter& out, int32_t flagWordToWrite) const {
    WriteBaseRecord(out, flagWordToWrite);
    out.WriteInt32(PointCount());
    for (size_t i = 0; i < points.size(); ++i) {
        out.WritePoint(points[i]);
        out.WriteInt32(i < selection.size() ? selection[i] : 0);
    }
}

}  // namespace orva
