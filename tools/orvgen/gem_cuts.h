#pragma once

#include <memory>

#include <nlohmann/json.hpp>

#include "scene/object_list.h"
#include "scene/poly_mesh.h"

namespace orva {

// The standard cuts of the shipped gem library, from JSON. One cut is an object
// {"cut": NAME, ...proportions...}; NAME is one of roundBrilliant, princess, oval, marquise,
// pear, heart, emerald, baguette, cushion, trillion, cabochon, pearl, and the proportions are
// those data/README.md lists. Proportions left out take the cut's usual value; one that is
// out of range, or an unknown cut, throws CDescriptionError naming it.
std::unique_ptr<CPolyMesh> GemCutFromJson(const nlohmann::json& cut);

// {"format": "gemcuts", "cuts": [CUT, ...]}: the meshes of the cuts, in order, which is the
// order of the library's indices.
CObjectList GemCutsFromJson(const nlohmann::json& document);

}  // namespace orva
