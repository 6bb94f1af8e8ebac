#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "render/shading/render_material.h"
#include "render/shading/shading.h"
#include "render/shading/texture_cache.h"
#include "render/shading/texture_sampling.h"

namespace orva {

class CSceneObject;

// The render materials of one render, resolved before its threads start: each material file is
// read once and each map decoded once, an image shared by every material naming its file.
// Nothing changes after construction, so any number of threads may look names up at once and
// none of them touches the disk.
class CMaterialTable {
public:
    // Resolves every name the objects from `first` up to (not including) `stop` may ask for
    // (MaterialNamesOf), for shading per vertex (mode 0) or per pixel (mode 1).
    CMaterialTable(EShading shadingModeSwitch, const CSceneObject* first, const CSceneObject* stop);
    CMaterialTable(const CMaterialTable&) = delete;
    CMaterialTable& operator=(const CMaterialTable&) = delete;

    // The material of `name` before any object's mapping is applied: the default material for
    // a null or empty name, null for a name the objects did not ask for.
    const CRenderMaterial* Find(const char* name) const;
    EShading ShadingModeSwitch() const { return m_shadingModeSwitch; }

private:
    void AddTexels(CRenderMaterial& material);

    EShading m_shadingModeSwitch;
    CImageCache m_images;
    // The reflection and gloss maps as texels: sampled at nearly every pixel of a metal.
    std::map<const BmpImage*, CTexelMap> m_texels;
    std::map<std::string, CRenderMaterial, std::less<>> m_materials;
    CRenderMaterial m_default;
};

}  // namespace orva
