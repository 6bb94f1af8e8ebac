#include "scene/placed_object.h"

#include "scene/byte_reader.h"
#include "scene/byte_writer.h"

namespace orva {

void CPlacedObject::Transform(CMatrix4 m, int all) {
    if (all == 0) {
        return;
    }
    TransformBase(m);
    MultiplyInPlace(placement, m);
}

void CPlacedObject::ReadPlacedRecord(CByteReader& in) {
    ReadBaseRecord(in);
    placement = in.ReadMatrix();
}

void CPlacedObject::WritePlacedRecord(CByteWriter& out) const {
    WriteBaseRecord(out, flagWord);
    out.WriteMatrix(placement);
}

}  // namespace orva
