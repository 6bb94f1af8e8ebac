#include "scene/poly_mesh.h"

#include "scene/byte_reader.h"
#include "scene/byte_writer.h"
#include "scene/object_drawer.h"

namespace orva {

namespace {

// The class extension bits of the flag word (bits 8..10) carry the mesh's three flags.
constexpr int32_t kNetShownBit = 1 << 8;
constexpr int32_t kSmoothBit = 1 << 9;
constexpr int32_t kReversedBit = 1 << 10;

}  // namespace

void CPolyMesh::Draw(CObjectDrawer& drawer, EDisplayMode mode) const {
    drawer.DrawPolyMesh(*this, mode);
}

std::unique_ptr<CSceneObject> CPolyMesh::Clone() const {
    return std::make_unique<CPolyMesh>(*this);
}

void CPolyMesh::Read(CByteReader& in) {
    ReadPointSetRecord(in);
    polygonSizes.clear();
    vertexIndices.clear();
    const int32_t polygons = in.ReadInt32();
    if (polygons > 0 &&
        in.CanHold(polygons, 1, 4, "polygon count larger than the rest of the file")) {
        polygonSizes.resize(static_cast<size_t>(polygons));
        int64_t total = 0;  // 64 bits: the sizes of a hostile file can add up past 2^31
        for (int32_t& size : polygonSizes) {
            size = in.ReadInt32();
            total += size;
        }
        // The writer wrote exactly the sum of the sizes; reading that many keeps the stream in
        // step even when some sizes are nonsense.
        if (total > 0 && in.CanHold(total, 1, 4, "index count larger than the rest of the file")) {
            vertexIndices.resize(static_cast<size_t>(total));
            for (int32_t& index : vertexIndices) {
                index = in.ReadInt32();
            }
        }
    }
    netHidden = (flagWord & kNetShownBit) ? 0 : 1;
    flatShading = (flagWord & kSmoothBit) ? 0 : 1;
    orientation = (flagWord & kReversedBit) ? -1 : 1;
    flagWord &= 1;
    DropInvalidPolygons();
}

int CPolyMesh::DropInvalidPolygons() {
    const int32_t vertexCount = PointCount();
    std::vector<int32_t> keptSizes;
    std::vector<int32_t> keptIndices;
    size_t start = 0;
    int dropped = 0;
    for (int32_t size : polygonSizes) {
        bool valid = size >= 0 && static_cast<size_t>(size) <= vertexIndices.size() - start;
        for (int32_t k = 0; valid && k < size; ++k) {
            const int32_t index = vertexIndices[start + static_cast<size_t>(k)];
            valid = index >= 0 && index < vertexCount;
        }
        if (valid) {
            keptSizes.push_back(size);
            keptIndices.insert(keptIndices.end(),
                               vertexIndices.begin() + static_cast<ptrdiff_t>(start),
                               vertexIndices.begin() + static_cast<ptrdiff_t>(start + size));
        } else {
            ++dropped;
        }
        if (size > 0) {
            start += std::min(static_cast<size_t>(size), vertexIndices.size() - start);
        }
    }
    if (dropped > 0) {
        polygonSizes = std::move(keptSizes);
        vertexIndices = std::move(keptIndices);
    }
    return dropped;
}

void CPolyMesh::Write(CByteWriter& out) const {
    int32_t word = flagWord & 1;
    word |= netHidden ? 0 : kNetShownBit;
    word |= flatShading ? 0 : kSmoothBit;
    word |= orientation < 0 ? kReversedBit : 0;
    WritePointSetRecord(out, word);
    out.WriteInt32(PolygonCount());
    for (int32_t size : polygonSizes) {
        out.WriteInt32(size);
    }
    for (int32_t index : vertexIndices) {
        out.WriteInt32(index);
    }
}

}  // namespace orva
