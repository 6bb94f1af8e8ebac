#include "scene/scene_object.h"

#include <cmath>

#include "scene/byte_reader.h"
#include "scene/byte_writer.h"
#include "scene/name_pool.h"

namespace orva {

namespace {

// Rows of the frame update: scaled to unit length, or the unit axis when too short to scale.
CMatrix4 NormalizedRows(CMatrix4 m) {
    for (int row = 0; row < 3; ++row) {
        float* r = &m.m[4 * row];
        const float length = std::sqrt(r[0] * r[0] + r[1] * r[1] + r[2] * r[2]);
        if (length < 0.00001f) {
            r[0] = row == 0 ? 1.0f : 0.0f;
            r[1] = row == 1 ? 1.0f : 0.0f;
            r[2] = row == 2 ? 1.0f : 0.0f;
        } else {
            r[0] /= length;
            r[1] /= length;
            r[2] /= length;
        }
    }
    return m;
}

}  // namespace

CSceneObject::CSceneObject(const CSceneObject& other)
    : next(nullptr),
      displayState(other.displayState),
      flagWord(other.flagWord),
      neverCut(other.neverCut),
      cutter(other.cutter),
      frame(other.frame),
      materialValue(other.materialValue),
      materialMatrix(other.materialMatrix),
      materialName(other.materialName),
      colourIndex(other.colourIndex) {}

CSceneObject& CSceneObject::operator=(const CSceneObject& other) {
    displayState = other.displayState;
    flagWord = other.flagWord;
    neverCut = other.neverCut;
    cutter = other.cutter;
    frame = other.frame;
    materialValue = other.materialValue;
    materialMatrix = other.materialMatrix;
    materialName = other.materialName;
    colourIndex = other.colourIndex;
    return *this;
}

void CSceneObject::TransformBase(const CMatrix4& m) {
    MultiplyInPlace(materialMatrix, m);
    const CVector3 origin = TransformPoint(CVector3(frame[12], frame[13], frame[14]), m);
    MultiplyInPlace(frame, NormalizedRows(m));
    frame[12] = origin.x;
    frame[13] = origin.y;
    frame[14] = origin.z;
}

void CSceneObject::Transform(CMatrix4 m, int all) {
    if (all != 0) {
        TransformBase(m);
    }
}

void CSceneObject::Draw(CObjectDrawer&, EDisplayMode) const {}

std::unique_ptr<CSceneObject> CSceneObject::Clone() const {
    return std::unique_ptr<CSceneObject>(new CSceneObject(*this));
}

void CSceneObject::ReadBaseRecord(CByteReader& in) {
    const uint32_t stateWord = static_cast<uint32_t>(in.ReadInt32());
    displayState = static_cast<int32_t>(stateWord & 0xFFFFu);
    colourIndex = static_cast<int16_t>(static_cast<uint16_t>(stateWord >> 16));
    frame = in.ReadMatrix();
    const uint32_t flags = static_cast<uint32_t>(in.ReadInt32());
    materialValue = static_cast<int32_t>(flags & 0xFFu);
    flagWord = static_cast<int32_t>(((flags >> 8) & 1u) | ((flags >> 16) << 8));
    neverCut = static_cast<int32_t>((flags >> 9) & 1u);
    cutter = static_cast<int32_t>((flags >> 10) & 1u);
    materialMatrix = in.ReadMatrix();
    std::string name;
    if (in.ReadCountedString(name)) {
        materialName = NamePool().RegisterName(name);
    } else if (!in.Failed()) {
        materialName = NamePool().RegisterNoName();
    }
}

void CSceneObject::WriteBaseRecord(CByteWriter& out, int32_t flagWordToWrite) const {
    const uint32_t stateWord = (static_cast<uint32_t>(displayState) & 0xFFFFu) |
                               (static_cast<uint32_t>(static_cast<uint16_t>(colourIndex)) << 16);
    out.WriteInt32(static_cast<int32_t>(stateWord));
    out.WriteMatrix(frame);
    const uint32_t word = static_cast<uint32_t>(flagWordToWrite);
    const uint32_t flags = (static_cast<uint32_t>(materialValue) & 0xFFu) | ((word & 1u) << 8) |
                           ((static_cast<uint32_t>(neverCut) & 1u) << 9) |
                           ((static_cast<uint32_t>(cutter) & 1u) << 10) |
                           (((word >> 8) & 0xFFFFu) << 16);
    out.WriteInt32(static_cast<int32_t>(flags));
    out.WriteMatrix(materialMatrix);
    out.WriteCountedString(materialName);
}

void CSceneObject::Read(CByteReader& in) {
    ReadBaseRecord(in);
}

void CSceneObject::Write(CByteWriter& out) const {
    WriteBaseRecord(out, flagWord);
}

void CSceneObject::GetBounds(CVector3&, CVector3&, const CMatrix4&) const {}

void CSceneObject::SwapContents(CSceneObject& other) {
    SwapSameClass(*this, other);
}

void ResetBounds(CVector3& min, CVector3& max) {
    min = CVector3(1e30f, 1e30f, 1e30f);
    max = CVector3(-1e30f, -1e30f, -1e30f);
}

void MergeBounds(CVector3& min, CVector3& max, const CVector3& otherMin, const CVector3& otherMax) {
    for (int k = 0; k < 3; ++k) {
        if (otherMin[k] < min[k]) {
            min[k] = otherMin[k];
        }
        if (otherMax[k] > max[k]) {
            max[k] = otherMax[k];
        }
    }
}

bool BoundsEmpty(const CVector3& min, const CVector3& max) {
    return !(min.x <= max.x && min.y <= max.y && min.z <= max.z);
}

}  // namespace orva
