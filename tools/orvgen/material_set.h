#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "procedural_maps.h"
#include "scene_writer.h"

namespace orva {

struct CNamedMaterial {
    std::string name;  // the file is name + ".mtl"
    CMaterialDescription description;
};

// The shipped materials and the maps they name, as one "materials" description holds them.
struct CMaterialSet {
    std::vector<CProceduralMap> maps;
    std::vector<CNamedMaterial> materials;
};

// Reads {"format": "materials", "maps": {...}, "materials": [...]} (see data/README.md).
// Material colours are 0..255 and percentages 0..100; every map a material names must be among
// "maps". Throws CDescriptionError naming what is wrong.
CMaterialSet MaterialSetFromJson(const nlohmann::json& document);

// Writes FOLDER/NAME.mtl for every material and FOLDER/TxtrMap/NAME.bmp (24-bit) for every
// map, making the folders as needed. False when something cannot be written.
bool WriteMaterialSet(const CMaterialSet& set, const std::string& folder);

}  // namespace orva
