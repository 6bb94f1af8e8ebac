#include "render/shading/render_material.h"

#include <algorithm>
#include <string>

#include "render/shading/material_table.h"
#include "render/shading/shading_context.h"
#include "render/shading/texture_cache.h"
#include "render/shading/texture_lookup.h"
#include "scene/material_file.h"

namespace orva {

namespace {

// Components outside 0..255 would carry past the final rounding and wrap the pixel's bytes.
float ColourComponent(int32_t value) {
    return static_cast<float>(std::clamp(value, 0, 255)) / 255.0f;
}

CVector3 ColourAt(const CMaterialRecord& record, int first) {
    return {ColourComponent(record.colours[first]), ColourComponent(record.colours[first + 1]),
            ColourComponent(record.colours[first + 2])};
}

float Percentage(int32_t value) {
    return static_cast<float>(std::clamp(value, 0, 100)) * 0.01f;
}

const BmpImage* LoadMap(const MapLoader& loadMap, const std::string& mapName) {
    if (mapName.empty()) {
        return nullptr;
    }
    const std::string path = FindTextureMapPath(mapName);
    return path.empty() ? nullptr : loadMap(path);
}

void LoadMaps(const MapLoader& loadMap, const CMaterialRecord& record, CRenderMaterial& material) {
    material.colourMap = LoadMap(loadMap, record.textureNames[0]);
    material.bumpMap = LoadMap(loadMap, record.textureNames[1]);
    material.reflectionMap = LoadMap(loadMap, record.textureNames[2]);
    material.glossMap = LoadMap(loadMap, record.textureNames[3]);
}

void TakeRecord(const CMaterialRecord& record, EShading shadingModeSwitch, const MapLoader& loadMap,
                CRenderMaterial& material) {
    material.ambientColour = ColourAt(record, 0);
    material.baseColour = ColourAt(record, 3);
    material.highlightColour = ColourAt(record, 6);
    const float shininess = Percentage(record.shininess) - 0.001f;
    material.highlightThreshold = shininess * shininess;
    material.transparency = Percentage(record.transparency);
    if (shadingModeSwitch == EShading::kPerPixel) {
        LoadMaps(loadMap, record, material);
    }
}

void SetNeeds(CRenderMaterial& material) {
    const bool mapped = material.colourMap != nullptr || material.bumpMap != nullptr;
    material.needsNormal = true;
    material.needsSurfacePoint = mapped;
    material.needsTextureCoordinates = mapped;
    material.needsTangents = material.bumpMap != nullptr;
}

// The material the context's table resolved for the name, if it has one for this mode.
const CRenderMaterial* TableMaterial(const CShadingContext& ctx, const char* name) {
    const CMaterialTable* table = ctx.materials;
    if (table == nullptr || table->ShadingModeSwitch() != ctx.shadingModeSwitch) {
        return nullptr;
    }
    return table->Find(name);
}

}  // namespace

void ApplyMode300Adjustment(CRenderMaterial& material) {
    for (int c = 0; c < 3; ++c) {
        const float a = material.ambientColour[c];
        const float b = material.baseColour[c];
        material.baseColour[c] = b + 0.75f * a - 0.75f * a * b;
    }
}

CRenderMaterial ReadRenderMaterial(const char* name, EShading shadingModeSwitch,
                                   const MapLoader& loadMap) {
    CRenderMaterial material;
    CMaterialRecord record;
    // An object without a material name is grey at once; no file is looked up for it.
    if (name != nullptr && name[0] != '\0' && LoadMaterialRecord(name, record)) {
        TakeRecord(record, shadingModeSwitch, loadMap, material);
    }
    SetNeeds(material);
    if (shadingModeSwitch == EShading::kVertexColours) {
        ApplyMode300Adjustment(material);
    }
    return material;
}

CRenderMaterial& LoadRenderMaterial(CShadingContext& ctx, const char* name) {
    CRenderMaterial* made = nullptr;
    if (const CRenderMaterial* resolved = TableMaterial(ctx, name)) {
        made = &ctx.materialList.emplace_front(*resolved);
    } else {
        const MapLoader loadMap = [&ctx](const std::string& path) {
            return LoadTextureImage(ctx, path);
        };
        made = &ctx.materialList.emplace_front(
            ReadRenderMaterial(name, ctx.shadingModeSwitch, loadMap));
    }
    made->name = name;
    return *made;
}

}  // namespace orva
