#include "scene/surface.h"

#include "scene/byte_reader.h"
#include "scene/byte_writer.h"
#include "scene/object_drawer.h"

namespace orva {

namespace {

void ReadDirection(CByteReader& in, CSurfaceDirection& d) {
    d.freeStart = in.ReadInt32();
    d.freeEnd = in.ReadInt32();
    d.closed = in.ReadInt32();
    d.stepsPerSpan = in.ReadInt32();
    d.reservedSteps = in.ReadInt32();
}

void WriteDirection(CByteWriter& out, const CSurfaceDirection& d) {
    out.WriteInt32(d.freeStart);
    out.WriteInt32(d.freeEnd);
    out.WriteInt32(d.closed);
    out.WriteInt32(d.stepsPerSpan);
    out.WriteInt32(d.reservedSteps);
}

// Entries until a negative count; each is a count C, a value and C pairs of 4-byte values.
std::vector<CSurfaceLoop> ReadLoopList(CByteReader& in) {
    std::vector<CSurfaceLoop> loops;
    while (!in.Failed()) {
        const int32_t count = in.ReadInt32();
        if (count < 0 || in.Failed()) {
            break;
        }
        CSurfaceLoop loop;
        loop.value = in.ReadInt32();
        if (!in.CanHold(count, 2, 4, "loop larger than the rest of the file")) {
            break;
        }
        loop.pairs.resize(2 * static_cast<size_t>(count));
        for (int32_t& word : loop.pairs) {
            word = in.ReadInt32();
        }
        loops.push_back(std::move(loop));
    }
    return loops;
}

}  // namespace

void CSurface::Draw(CObjectDrawer& drawer, EDisplayMode mode) const {
    drawer.DrawSurface(*this, mode);
}

std::unique_ptr<CSceneObject> CSurface::Clone() const {
    return std::make_unique<CSurface>(*this);
}

bool CSurface::HasValidNet() const {
    return nu > 0 && nv > 0 && static_cast<int64_t>(nu) * nv == static_cast<int64_t>(points.size());
}

void CSurface::Read(CByteReader& in) {
    ReadPointSetRecord(in);
    nu = in.ReadInt32();
    nv = in.ReadInt32();
    ReadDirection(in, u);
    ReadDirection(in, v);
    orientation = in.ReadInt32();
    const int16_t flags = in.ReadInt16();
    reservedFlag = flags & 1;
    netHidden = (flags >> 1) & 1;
    loops = ReadLoopList(in);
    // A net that does not hold nu * nv points cannot be indexed as rows and columns; it is
    // kept like an empty record, listed but never shown.
    if (!HasValidNet()) {
        displayState = kEmptyRecordState;
    }
}

void CSurface::Write(CByteWriter& out) const {
    WritePointSetRecord(out, flagWord);
    out.WriteInt32(nu);
    out.WriteInt32(nv);
    WriteDirection(out, u);
    WriteDirection(out, v);
    out.WriteInt32(orientation);
    out.WriteInt16(static_cast<int16_t>((reservedFlag & 1) | ((netHidden & 1) << 1)));
    for (const CSurfaceLoop& loop : loops) {
        out.WriteInt32(static_cast<int32_t>(loop.pairs.size() / 2));
        out.WriteInt32(loop.value);
        for (int32_t word : loop.pairs) {
            out.WriteInt32(word);
        }
    }
    out.WriteInt32(-1);
}

}  // namespace orva
