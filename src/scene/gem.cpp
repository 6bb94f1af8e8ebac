#include "scene/gem.h"

#include "scene/byte_reader.h"
#include "scene/byte_writer.h"
#include "scene/gem_library.h"
#include "scene/object_drawer.h"

namespace orva {

void CGem::Draw(CObjectDrawer& drawer, EDisplayMode mode) const {
    const CMatrix4 saved = drawer.GetModelViewMatrix();
    drawer.MultMatrix(placement);
    CGemResolution resolution;
    if (const CSceneObject* shape = resolution.Shape(gemIndex)) {
        shape->Draw(drawer, mode);
    }
    drawer.LoadMatrix(saved);
}

std::unique_ptr<CSceneObject> CGem::Clone() const {
    return std::make_unique<CGem>(*this);
}

void CGem::Read(CByteReader& in) {
    ReadPlacedRecord(in);
    gemIndex = in.ReadInt32();
}

void CGem::Write(CByteWriter& out) const {
    WritePlacedRecord(out);
    out.WriteInt32(gemIndex);
}

void CGem::GetBounds(CVector3& min, CVector3& max, const CMatrix4& m) const {
    ResetBounds(min, max);
    CGemResolution resolution;
    if (const CSceneObject* shape = resolution.Shape(gemIndex)) {
        shape->GetBounds(min, max, Multiply(placement, m));
    }
}

}  // namespace orva
