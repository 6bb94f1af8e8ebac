#include "scene/curve.h"

#include "scene/byte_reader.h"
#include "scene/byte_writer.h"
#include "scene/object_drawer.h"

namespace orva {

void CCurve::Draw(CObjectDrawer& drawer, EDisplayMode mode) const {
    drawer.DrawCurve(*this, mode);
}

std::unique_ptr<CSceneObject> CCurve::Clone() const {
    return std::make_unique<CCurve>(*this);
}

void CCurve::Read(CByteReader& in) {
    ReadPointSetRecord(in);
    freeStart = in.ReadInt32();
    freeEnd = in.ReadInt32();
    closed = in.ReadInt32();
    stepsPerSpan = in.ReadInt32();
    netHidden = in.ReadInt16();
    if (points.empty()) {
        displayState = kEmptyRecordState;
    }
}

void CCurve::Write(CByteWriter& out) const {
    WritePointSetRecord(out, flagWord);
    out.WriteInt32(freeStart);
    out.WriteInt32(freeEnd);
    out.WriteInt32(closed);
    out.WriteInt32(stepsPerSpan);
    out.WriteInt16(static_cast<int16_t>(netHidden));
}

}  // namespace orva
