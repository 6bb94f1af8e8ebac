#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "geometry/matrix4.h"
#include "geometry/vector3.h"
#include "image/bmp_image.h"
#include "render/shading/shading.h"

namespace orva {

struct CShadingContext;
struct CTexelMap;

// How the pixel shader turns the surface point into map coordinates.
enum : int {
    kMappingSurface = 0,  // the interpolated surface coordinates (also any unknown value)
    kMappingPlanar = 1,
    kMappingCylindrical = 2,
    kMappingSpherical = 3,
};

// What one object is shaded with during one render. Colours are red, green, blue from 0 to 1.
// Each request makes its own record, because the builders set the mapping mode and matrix
// per object; the maps themselves are shared through the render's material table.
struct CRenderMaterial {
    // The span interpolates only what the shader will read.
    bool needsSurfacePoint = false;        // a colour or bump map is present
    bool needsNormal = true;               // always
    bool needsTextureCoordinates = false;  // a colour or bump map is present
    bool needsTangents = false;            // a bump map is present

    // Images of the render's material table or image cache (not owned); null when the
    // material has none.
    const BmpImage* colourMap = nullptr;
    const BmpImage* bumpMap = nullptr;
    const BmpImage* reflectionMap = nullptr;
    const BmpImage* glossMap = nullptr;
    // The reflection and gloss maps as texels, made by the render's material table (not owned);
    // null where it made none. They sample to the maps' own colours, sooner.
    const CTexelMap* reflectionTexels = nullptr;
    const CTexelMap* glossTexels = nullptr;

    CVector3 ambientColour{0.0f, 0.0f, 0.0f};  // lower bound of the lit colour
    CVector3 baseColour{0.5f, 0.5f, 0.5f};     // diffuse colour
    CVector3 highlightColour{1.0f, 1.0f, 1.0f};
    // (shininess % / 100 - 0.001)^2: where the highlight ramp starts. At 1.0 a highlight shows
    // only on a normal that points exactly at the viewer.
    float highlightThreshold = 1.0f;
    float transparency = 0.0f;  // 0 opaque, 1 fully transparent

    int mappingMode = kMappingSurface;
    // The material file name the object asked for (null or empty: the default material); the
    // text belongs to the scene's name pool, so it lives as long as the scene. Measuring tells
    // the metals apart by it.
    const char* name = nullptr;
    // Brings the surface point into the map's space: the inverse of the object's material
    // matrix, set by whoever builds the object.
    CMatrix4 mappingMatrix;
};

// Gives the map read from a path, or null when the file cannot be read as a bitmap.
using MapLoader = std::function<const BmpImage*(const std::string& path)>;

// The material file `name` made into a render material for the given shading mode, read now.
// Never fails: a null or empty name gives the default material without looking for any file,
// and a missing or unreadable file gives the defaults too. Maps are loaded through `loadMap`
// only when every pixel is shaded (mode 1); per vertex (mode 0) the base colour takes the
// mode-300 adjustment instead. The mapping stays the default: it belongs to each object.
CRenderMaterial ReadRenderMaterial(const char* name, EShading shadingModeSwitch,
                                   const MapLoader& loadMap);

// Makes a new render material named `name` for the context's shading mode and puts it at the
// head of the context's material list, where it stays until ReleaseRenderMaterials. The
// context's material table supplies it when it knows the name; otherwise it is read from its
// file now (ReadRenderMaterial), with the maps shared through the context's image cache.
CRenderMaterial& LoadRenderMaterial(CShadingContext& ctx, const char* name);

// Vertex shading has no ambient term of its own, so the ambient colour is folded into the
// base colour: base := base + 0.75 * ambient - 0.75 * ambient * base.
void ApplyMode300Adjustment(CRenderMaterial& material);

}  // namespace orva
