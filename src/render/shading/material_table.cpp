#include "render/shading/material_table.h"

#include <string_view>

#include "render/shading/material_names.h"

namespace orva {

CMaterialTable::CMaterialTable(EShading shadingModeSwitch, const CSceneObject* first,
                               const CSceneObject* stop)
    : m_shadingModeSwitch(shadingModeSwitch) {
    // A map that cannot be read is remembered too, so it is not tried again for the next
    // material naming it.
    std::map<std::string, const BmpImage*, std::less<>> mapsByPath;
    const MapLoader loadMap = [&](const std::string& path) {
        const auto [at, added] = mapsByPath.try_emplace(path, nullptr);
        if (added) {
            at->second = LoadTextureImage(m_images, path);
        }
        return at->second;
    };
    m_default = ReadRenderMaterial(nullptr, shadingModeSwitch, loadMap);
    AddTexels(m_default);
    for (const std::string& name : MaterialNamesOf(first, stop)) {
        CRenderMaterial material = ReadRenderMaterial(name.c_str(), shadingModeSwitch, loadMap);
        AddTexels(material);
        m_materials.emplace(name, material);
    }
}

void CMaterialTable::AddTexels(CRenderMaterial& material) {
    const auto texelsOf = [this](const BmpImage* image) -> const CTexelMap* {
        if (image == nullptr) {
            return nullptr;
        }
        auto [at, added] = m_texels.try_emplace(image);
        if (added) {
            at->second = MakeTexelMap(*image);
        }
        return at->second.Empty() ? nullptr : &at->second;
    };
    material.reflectionTexels = texelsOf(material.reflectionMap);
    material.glossTexels = texelsOf(material.glossMap);
}

const CRenderMaterial* CMaterialTable::Find(const char* name) const {
    if (name == nullptr || name[0] == '\0') {
        return &m_default;
    }
    const auto at = m_materials.find(std::string_view(name));
    return at != m_materials.end() ? &at->second : nullptr;
}

}  // namespace orva
