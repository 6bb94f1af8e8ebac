#pragma once

#include <array>
#include <string>

#include "mesh/triangle_mesh.h"

namespace orva {

struct CMaterialRecord;

// A part's look as web viewers draw it: glTF's metallic-roughness model and the extensions
// that make a stone a stone. Colours are linear red, green, blue from 0 to 1.
struct CPbrMaterial {
    std::string name;
    std::array<float, 3> baseColour{1.0f, 1.0f, 1.0f};
    float opacity = 1.0f;  // below 1: blended (a material of unknown kind that is see-through)
    float metallic = 0.0f;
    float roughness = 1.0f;

    // A cut stone: light passes through it (transmission), bent by its index of refraction,
    // tinted on its way through (volume) and split into colours (dispersion).
    float transmission = 0.0f;
    float ior = 1.5f;  // written only when not the default
    float thicknessMm = 0.0f;
    std::array<float, 3> attenuationColour{1.0f, 1.0f, 1.0f};
    float attenuationDistanceM = 0.0f;  // 0: no attenuation
    float dispersion = 0.0f;            // 20 / the Abbe number; 0: none

    // The lustre of a pearl: a clear glossy layer over the surface.
    float clearcoat = 0.0f;
    float clearcoatRoughness = 0.0f;

    bool flatShaded = false;  // facets keep their own normals (a cut stone)
};

// How a stone's material is known by name.
enum class EStoneKind { kUnknown, kClear, kOpaque };
EStoneKind StoneKindOf(const std::string& material);

// The look of a part of `kind` in the material `material` read as `record` (null: the default
// material or a file that could not be read). Metal is metallic, in the material's colour,
// its roughness from its shininess. A stone known as clear transmits light with its own
// index of refraction, tinted by its colour over `stoneThicknessMm`; a stone known as opaque
// is a polished dielectric (a pearl with a clear coat for its lustre); any other stone takes
// its colours, shininess and transparency from the file as they are.
CPbrMaterial PbrMaterialOf(CMeshPart::EKind kind, const std::string& material,
                           const CMaterialRecord* record, float stoneThicknessMm);

// The same for a part, its material file read from the material folder.
CPbrMaterial PbrMaterialOfPart(const CMeshPart& part);

// The sRGB component `value` (0..255) as linear light (0..1).
float LinearFromSrgb(int value);

}  // namespace orva
