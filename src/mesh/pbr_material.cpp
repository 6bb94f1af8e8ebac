#include "mesh/pbr_material.h"

#include <algorithm>
#include <cmath>

#include "measure/jewel_materials.h"
#include "scene/material_file.h"

namespace orva {

namespace {

struct CClearStone {
    const char* folded;
    float ior;
    float abbe;  // 0: dispersion left to the renderer's default (none)
};

// Refractive indices as gem references give them (the middle of each stone's range). Only
// diamond and zirconia show fire worth drawing: their Abbe numbers are 55.3 and 33.6.
constexpr CClearStone kClearStones[] = {
    {"diamond", 2.417f, 55.3f}, {"cubiczirconia", 2.15f, 33.6f}, {"ruby", 1.77f, 0.0f},
    {"sapphire", 1.77f, 0.0f},  {"emerald", 1.58f, 0.0f},        {"aquamarine", 1.58f, 0.0f},
    {"amethyst", 1.544f, 0.0f}, {"citrine", 1.544f, 0.0f},       {"topaz", 1.62f, 0.0f},
    {"peridot", 1.67f, 0.0f},   {"garnet", 1.76f, 0.0f},         {"tanzanite", 1.70f, 0.0f},
};

constexpr const char* kOpaqueStones[] = {"onyx",      "pearl", "coral",    "jet",
                                         "turquoise", "lapis", "malachite"};

const CClearStone* ClearStone(const std::string& folded) {
    for (const CClearStone& s : kClearStones) {
        if (folded == s.folded) {
            return &s;
        }
    }
    return nullptr;
}

// The default material: mid grey, dull, opaque.
CMaterialRecord DefaultRecord() {
    CMaterialRecord r;
    r.colours = {64, 64, 64, 128, 128, 128, 255, 255, 255};
    r.shininess = 50;
    return r;
}

std::array<float, 3> BaseColour(const CMaterialRecord& r) {
    return {LinearFromSrgb(r.colours[3]), LinearFromSrgb(r.colours[4]),
            LinearFromSrgb(r.colours[5])};
}

// A shininess of 90 % (polished metal) gives a tight highlight: roughness 0.12; 96 %, the
// diamond's, 0.05; a dull 0 % is fully rough.
float RoughnessOf(int shininessPercent) {
    const float s = std::clamp(shininessPercent, 0, 100) / 100.0f;
    return std::clamp((1.0f - s) * 1.2f, 0.05f, 1.0f);
}

void MakeClear(CPbrMaterial& m, const CClearStone& stone, float thicknessMm) {
    m.transmission = 1.0f;
    m.ior = stone.ior;
    m.dispersion = stone.abbe > 0.0f ? 20.0f / stone.abbe : 0.0f;
    m.thicknessMm = std::max(thicknessMm, 0.0f);
    // The colour is carried by the volume: light crossing the stone once takes its colour.
    // The surface keeps only half of it, or thin edges would stay grey.
    m.attenuationColour = m.baseColour;
    m.attenuationDistanceM = m.thicknessMm > 0.0f ? m.thicknessMm / 1000.0f : 0.0f;
    for (float& c : m.baseColour) {
        c = 0.5f + 0.5f * c;
    }
    m.roughness = std::min(m.roughness, 0.08f);
}

}  // namespace

float LinearFromSrgb(int value) {
    const float c = std::clamp(value, 0, 255) / 255.0f;
    return c <= 0.04045f ? c / 12.92f : std::pow((c + 0.055f) / 1.055f, 2.4f);
}

EStoneKind StoneKindOf(const std::string& material) {
    const std::string folded = FoldedMaterialName(material);
    if (ClearStone(folded) != nullptr) {
        return EStoneKind::kClear;
    }
    for (const char* opaque : kOpaqueStones) {
        if (folded == opaque) {
            return EStoneKind::kOpaque;
        }
    }
    return EStoneKind::kUnknown;
}

CPbrMaterial PbrMaterialOf(CMeshPart::EKind kind, const std::string& material,
                           const CMaterialRecord* record, float stoneThicknessMm) {
    const CMaterialRecord r = record != nullptr ? *record : DefaultRecord();
    CPbrMaterial m;
    m.name = material.empty() ? (kind == CMeshPart::kMetal ? "metal" : "stone") : material;
    m.baseColour = BaseColour(r);
    m.roughness = RoughnessOf(r.shininess);
    if (kind == CMeshPart::kMetal) {
        m.metallic = 1.0f;
        return m;
    }
    m.flatShaded = true;
    const std::string folded = FoldedMaterialName(material);
    if (const CClearStone* stone = ClearStone(folded)) {
        MakeClear(m, *stone, stoneThicknessMm);
    } else if (StoneKindOf(material) == EStoneKind::kOpaque) {
        if (folded == "pearl") {
            m.clearcoat = 1.0f;
            m.clearcoatRoughness = 0.15f;
            m.flatShaded = false;  // a pearl is round
        }
    } else {
        m.opacity = 1.0f - std::clamp(r.transparency, 0, 100) / 100.0f;
    }
    return m;
}

CPbrMaterial PbrMaterialOfPart(const CMeshPart& part) {
    CMaterialRecord record;
    const bool read = !part.material.empty() && LoadMaterialRecord(part.material, record);
    CVector3 lo;
    CVector3 hi;
    float thickness = 0.0f;
    if (MeshBounds(part.mesh, lo, hi)) {
        // The stone's smallest extent: the depth of most cuts, what light crosses on its way.
        thickness = std::min({hi.x - lo.x, hi.y - lo.y, hi.z - lo.z});
    }
    CPbrMaterial m = PbrMaterialOf(part.kind, part.material, read ? &record : nullptr, thickness);
    return m;
}

}  // namespace orva
