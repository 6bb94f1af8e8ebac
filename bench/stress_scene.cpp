#include "stress_scene.h"

#include <cmath>
#include <filesystem>
#include <vector>

#include "image/picture_writer.h"
#include "mesh_shapes.h"
#include "scene/gem.h"
#include "scene/gem_library.h"
#include "scene/group.h"
#include "scene/material_file.h"
#include "scene/name_pool.h"
#include "scene/object_list.h"
#include "scene/poly_mesh.h"
#include "scene/surface.h"
#include "scene_writer.h"

namespace orva::bench {

namespace {

constexpr float kPi = 3.14159265f;

// A band around the y axis at `centre`, open at both ends (so it gets caps).
std::unique_ptr<CSurface> Band(CVector3 centre, float radius, float width) {
    auto band = std::make_unique<CSurface>();
    constexpr int kAround = 16;
    band->nu = 4;
    band->nv = kAround;
    for (int i = 0; i < band->nu; ++i) {
        const float y = centre.y - width / 2 + width * float(i) / float(band->nu - 1);
        for (int j = 0; j < kAround; ++j) {
            const float a = 2.0f * kPi * float(j) / kAround;
            band->points.emplace_back(centre.x + radius * std::cos(a), y,
                                      centre.z + radius * std::sin(a));
        }
    }
    band->selection.assign(band->points.size(), 0);
    band->v.closed = 1;
    band->u.stepsPerSpan = 4;
    band->v.stepsPerSpan = 6;
    return band;
}

// A faceted stone of unit girdle diameter, table up (+z): a crown and a pavilion of 16 facets.
std::unique_ptr<CPolyMesh> Stone() {
    auto stone = std::make_unique<CPolyMesh>();
    constexpr int kFacets = 16;
    for (int i = 0; i < kFacets; ++i) {
        const float a = 2.0f * kPi * float(i) / kFacets;
        stone->points.emplace_back(0.5f * std::cos(a), 0.5f * std::sin(a), 0.0f);
    }
    for (int i = 0; i < kFacets; ++i) {
        const float a = 2.0f * kPi * float(i) / kFacets;
        stone->points.emplace_back(0.3f * std::cos(a), 0.3f * std::sin(a), 0.16f);
    }
    stone->points.emplace_back(0.0f, 0.0f, -0.43f);  // culet
    stone->selection.assign(stone->points.size(), 0);
    auto quad = [&](int a, int b, int c, int d) {
        stone->polygonSizes.push_back(4);
        stone->vertexIndices.insert(stone->vertexIndices.end(), {a, b, c, d});
    };
    std::vector<int> table;
    for (int i = 0; i < kFacets; ++i) {
        const int j = (i + 1) % kFacets;
        quad(i, j, kFacets + j, kFacets + i);  // crown
        stone->polygonSizes.push_back(3);      // pavilion
        stone->vertexIndices.insert(stone->vertexIndices.end(), {j, i, 2 * kFacets});
        table.push_back(kFacets + i);
    }
    stone->polygonSizes.push_back(kFacets);
    stone->vertexIndices.insert(stone->vertexIndices.end(), table.begin(), table.end());
    stone->flatShading = 1;
    return stone;
}

CSceneObject* Ring(CVector3 c, int variant) {
    const char* metal = NamePool().RegisterName(variant % 3 == 0 ? "white" : "gold");
    auto band = Band({c.x, c.y, c.z - 1.0f}, 2.2f, 1.2f);
    band->materialName = metal;
    auto head =
        MakeBoxMesh({c.x - 1.0f, c.y - 1.0f, c.z + 0.6f}, {c.x + 1.0f, c.y + 1.0f, c.z + 1.8f});
    head->materialName = metal;
    head->flatShading = 0;
    auto seat =
        MakeBoxMesh({c.x - 0.6f, c.y - 0.6f, c.z + 1.2f}, {c.x + 0.6f, c.y + 0.6f, c.z + 3.0f});
    seat->cutter = 1;
    auto gem = std::make_unique<CGem>();
    gem->gemIndex = 0;
    gem->placement = CMatrix4::Scaling(1.3f, 1.3f, 1.3f);
    gem->placement.At(3, 0) = c.x;
    gem->placement.At(3, 1) = c.y;
    gem->placement.At(3, 2) = c.z + 1.7f;
    gem->materialName = NamePool().RegisterName("stone");
    auto group = std::make_unique<CGroup>();
    group->kind = variant % 5 == 4 ? kGroupIntersection : kGroupUnion;
    CListBuilder parts(group->children.first);
    if (group->kind == kGroupIntersection) {
        parts.Append(band.release());
        parts.Append(
            MakeBoxMesh({c.x - 3, c.y - 3, c.z - 2.0f}, {c.x + 3, c.y + 3, c.z + 0.2f}).release());
    } else {
        parts.Append(band.release());
        parts.Append(head.release());
        parts.Append(seat.release());
        parts.Append(gem.release());
    }
    return group.release();
}

}  // namespace

void BuildStressScene(CSceneAnchor& scene, int columns, int rows) {
    scene.Clear();
    CListBuilder list(scene.first);
    // The rings keep the tray's spacing whatever their number: the tray spans 84 x 48 units.
    const float width = 84.0f * (float(columns) / kTrayColumns);
    const float depth = 48.0f * (float(rows) / kTrayRows);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const CVector3 centre(-width / 2 + width * (c + 0.5f) / columns, 0.0f,
                                  depth / 2 - depth * (r + 0.5f) / rows);
            list.Append(Ring(centre, r * columns + c));
        }
    }
}

bool WriteStressData(const std::string& folder) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::create_directories(fs::path(folder) / "material" / "TxtrMap", error);
    const auto stone = Stone();
    const std::string gemlib = (fs::path(folder) / "gemlib").string();
    if (!WriteFileBytes(gemlib, WriteGemLibraryBytes(stone.get()))) {
        return false;
    }
    // A studio: dark floor, bright strip lights, pale sky.
    constexpr int kSide = 128;
    std::vector<uint8_t> studio;
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            const double t = 1.0 - double(y) / (kSide - 1);
            const double strip = std::exp(-std::pow((t - 0.72) * 9.0, 2.0)) *
                                 (0.6 + 0.4 * std::cos(x * 6.2831853 / kSide * 3));
            const auto v = static_cast<uint8_t>(std::min(255.0, 30 + 140 * t + 110 * strip));
            studio.insert(studio.end(), {v, v, v});
        }
    }
    const fs::path maps = fs::path(folder) / "material" / "TxtrMap";
    if (!WriteBmpFile((maps / "studio.bmp").string(), {kSide, kSide, kSide * 3, studio.data()})) {
        return false;
    }
    CMaterialDescription gold;
    gold.ambient = {80, 55, 10};
    gold.base = {235, 175, 60};
    gold.shininess = 85;
    gold.maps[2] = "studio.bmp";
    CMaterialDescription white = gold;
    white.ambient = {60, 60, 62};
    white.base = {215, 215, 220};
    CMaterialDescription stoneMaterial;
    stoneMaterial.base = {220, 225, 255};
    stoneMaterial.shininess = 95;
    stoneMaterial.transparency = 40;
    const fs::path materials = fs::path(folder) / "material";
    if (!WriteFileBytes((materials / "gold.mtl").string(), WriteMaterialBytes(gold)) ||
        !WriteFileBytes((materials / "white.mtl").string(), WriteMaterialBytes(white)) ||
        !WriteFileBytes((materials / "stone.mtl").string(), WriteMaterialBytes(stoneMaterial))) {
        return false;
    }
    GemLibrary().SetPath(gemlib);
    SetMaterialDirectory(materials.string());
    return true;
}

}  // namespace orva::bench
