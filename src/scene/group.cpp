#include "scene/group.h"

#include "scene/byte_reader.h"
#include "scene/byte_writer.h"
#include "scene/object_class.h"

namespace orva {

namespace {

// A stored state with bit 15 set marks the base of a difference.
bool IsMarkedState(int32_t state) {
    return state >= 32768;
}

// The signed 16-bit value a marked state encodes, moved back by 99: -99 becomes 0, -98 becomes 1.
int32_t UnmarkedState(int32_t state) {
    return static_cast<int16_t>(static_cast<uint16_t>(state)) + 99;
}

}  // namespace

void CGroup::Transform(CMatrix4 m, int all) {
    CPlacedObject::Transform(m, all);
    for (CSceneObject* c = children.first; c != nullptr; c = c->next) {
        if (all != 0) {
            c->Transform(m, 1);
        } else if (c->IsShown()) {
            c->Transform(m, 0);
        }
        if (all == 0 && OnlyFirstChildCounts()) {
            break;
        }
    }
}

void CGroup::Draw(CObjectDrawer& drawer, EDisplayMode mode) const {
    for (const CSceneObject* c = children.first; c != nullptr; c = c->next) {
        if (c->IsShown()) {
            c->Draw(drawer, mode);
        }
        if (OnlyFirstChildCounts()) {
            break;
        }
    }
}

std::unique_ptr<CSceneObject> CGroup::Clone() const {
    return std::make_unique<CGroup>(*this);
}

void CGroup::Read(CByteReader& in) {
    ReadPlacedRecord(in);
    kind = in.ReadInt16() & 0xFF;
    children.Clear();
    if (!in.EnterNesting(kMaxGroupNesting)) {
        return;
    }
    ReadChildList(in);
    in.LeaveNesting();
    if (children.Empty()) {
        displayState = kEmptyRecordState;
        return;
    }
    baseMarked = 0;
    CSceneObject* base = children.first;
    if (kind == kGroupDifference && IsMarkedState(base->displayState)) {
        baseMarked = 1;
        base->displayState = UnmarkedState(base->displayState);
        base->colourIndex = 0;
    }
}

void CGroup::ReadChildList(CByteReader& in) {
    CListBuilder kept(children.first);
    bool appended = false;
    while (!in.Failed()) {
        const uint8_t control = in.ReadByte();
        if (in.Failed() || control == '%' || control == 255) {
            break;
        }
        if (control != ':') {
            continue;
        }
        std::unique_ptr<CSceneObject> child = ReadObject(in);
        if (child == nullptr) {
            continue;
        }
        const bool accepted = child->IsShown() || (!appended && kind == kGroupDifference &&
                                                   IsMarkedState(child->displayState));
        if (accepted) {
            kept.Append(child.release());
            appended = true;
        }
    }
}

void CGroup::Write(CByteWriter& out) const {
    WritePlacedRecord(out);
    out.WriteInt16(static_cast<int16_t>(kind));
    for (CSceneObject* c = children.first; c != nullptr; c = c->next) {
        out.WriteByte(':');
        // The base of a difference goes out in its marked form, as it came in.
        const bool marked = c == children.first && kind == kGroupDifference && baseMarked != 0;
        const int32_t state = c->displayState;
        const int32_t colour = c->colourIndex;
        if (marked) {
            c->displayState = state - 99;
            c->colourIndex = 0;
        }
        WriteObject(out, *c);
        c->displayState = state;
        c->colourIndex = colour;
    }
    out.WriteByte('%');
}

void CGroup::GetBounds(CVector3& min, CVector3& max, const CMatrix4& m) const {
    ResetBounds(min, max);
    for (const CSceneObject* c = children.first; c != nullptr; c = c->next) {
        if (c->IsShown()) {
            CVector3 lo;
            CVector3 hi;
            c->GetBounds(lo, hi, m);
            MergeBounds(min, max, lo, hi);
        }
        if (OnlyFirstChildCounts()) {
            break;
        }
    }
}

}  // namespace orva
