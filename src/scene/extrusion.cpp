#include "scene/extrusion.h"

#include <numeric>

#include "scene/byte_reader.h"
#include "scene/byte_writer.h"
#include "scene/extrusion_generator.h"
#include "scene/object_drawer.h"
#include "scene/surface.h"

namespace orva {

void CExtrusion::Draw(CObjectDrawer& drawer, EDisplayMode mode) const {
    const CMatrix4 saved = drawer.GetModelViewMatrix();
    drawer.MultMatrix(placement);
    // The generated lines never carry their own labels and markers: the wireframe modes draw
    // them as the fast wireframe does.
    const EDisplayMode listMode = mode <= kModeFastWireframe ? kModeFastWireframe : mode;
    for (const CSceneObject* c = curves.first; c != nullptr; c = c->next) {
        c->Draw(drawer, listMode);
    }
    // The fast wireframe shows only the outlines.
    if (mode != kModeFastWireframe) {
        for (const CSceneObject* s = surfaces.first; s != nullptr; s = s->next) {
            s->Draw(drawer, listMode);
        }
    }
    drawer.LoadMatrix(saved);
}

std::unique_ptr<CSceneObject> CExtrusion::Clone() const {
    return std::make_unique<CExtrusion>(*this);
}

bool CExtrusion::HasValidAxes() const {
    auto valid = [](int32_t axis) { return axis >= 0 && axis <= 2; };
    return valid(firstPlaneAxis) && valid(secondPlaneAxis) && valid(extrusionAxis);
}

void CExtrusion::Read(CByteReader& in) {
    ReadPlacedRecord(in);
    const int32_t profiles = in.ReadInt32();
    firstPlaneAxis = in.ReadInt32();
    secondPlaneAxis = in.ReadInt32();
    extrusionAxis = in.ReadInt32();
    topBevel = in.ReadInt32();
    bottomBevel = in.ReadInt32();
    depth = in.ReadReal();
    bevelSize = in.ReadReal();
    pointCounts.clear();
    stepsPerSpan.clear();
    profilePoints.clear();
    if (profiles > 0 &&
        in.CanHold(profiles, 2, 4, "profile count larger than the rest of the file")) {
        pointCounts.resize(static_cast<size_t>(profiles));
        stepsPerSpan.resize(static_cast<size_t>(profiles));
        for (int32_t i = 0; i < profiles; ++i) {
            pointCounts[i] = in.ReadInt32();
            stepsPerSpan[i] = in.ReadInt32();
        }
    }
    // Summed in 64 bits: hostile counts can overflow 32.
    const int64_t total = std::accumulate(pointCounts.begin(), pointCounts.end(), int64_t{0});
    if (total > 0 && in.CanHold(total, 3, 4, "profile points larger than the rest of the file")) {
        profilePoints.resize(static_cast<size_t>(total));
        for (CVector3& p : profilePoints) {
            p = in.ReadPoint();
        }
    }
    if (in.Failed()) {
        return;
    }
    GenerateExtrusion(*this);
    const int32_t facing = Determinant(placement, 4) < 0.0f ? 1 : -1;
    for (CSceneObject* s = surfaces.first; s != nullptr; s = s->next) {
        static_cast<CSurface*>(s)->orientation = facing;
    }
}

void CExtrusion::Write(CByteWriter& out) const {
    WritePlacedRecord(out);
    out.WriteInt32(ProfileCount());
    out.WriteInt32(firstPlaneAxis);
    out.WriteInt32(secondPlaneAxis);
    out.WriteInt32(extrusionAxis);
    out.WriteInt32(topBevel);
    out.WriteInt32(bottomBevel);
    out.WriteReal(depth);
    out.WriteReal(bevelSize);
    for (size_t i = 0; i < pointCounts.size(); ++i) {
        out.WriteInt32(pointCounts[i]);
        out.WriteInt32(i < stepsPerSpan.size() ? stepsPerSpan[i] : 8);
    }
    for (const CVector3& p : profilePoints) {
        out.WritePoint(p);
    }
}

void CExtrusion::GetBounds(CVector3& min, CVector3& max, const CMatrix4& m) const {
    ResetBounds(min, max);
    const CMatrix4 placed = Multiply(placement, m);
    for (const CSceneObject* s = surfaces.first; s != nullptr; s = s->next) {
        CVector3 lo;
        CVector3 hi;
        s->GetBounds(lo, hi, placed);
        MergeBounds(min, max, lo, hi);
    }
}

}  // namespace orva
