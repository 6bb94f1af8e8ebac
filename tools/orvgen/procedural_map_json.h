#pragma once

#include <vector>

#include <nlohmann/json.hpp>

#include "procedural_maps.h"

namespace orva {

// The maps of a "materials" description: an object whose keys are map names and whose values
// describe them (see data/README.md). A map may start from another with "like": "NAME" and
// replace some of its fields. Throws CDescriptionError naming the map and field at fault.
std::vector<CProceduralMap> ProceduralMapsFromJson(const nlohmann::json& maps);

}  // namespace orva
