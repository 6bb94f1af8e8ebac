#pragma once

#include <memory>
#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

#include "scene/object_list.h"
#include "scene_writer.h"

namespace orva {

class CSceneObject;

// A description that cannot become an object; the message names the offending field.
class CDescriptionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One object from its JSON description. Fields carry the names `orva info --json` prints:
// "type" (type id or class name: curve, surface, polyMesh, extrusion, group, refPlane, gem),
// "state", "colour", "frame", "material", "materialValue", "materialMatrix", "neverCut",
// "cutter", and per class the fields of that class (see data/README.md).
std::unique_ptr<CSceneObject> ObjectFromJson(const nlohmann::json& description);
// The objects of a JSON array, in order.
CObjectList ObjectListFromJson(const nlohmann::json& array);
CMaterialDescription MaterialFromJson(const nlohmann::json& description);

// A whole generator input: {"format": "scene" | "gemlib" | "gemcuts" | "material", ...};
// returns the bytes of the file it describes ("gemcuts": the gem library of standard cuts,
// see gem_cuts.h).
std::vector<uint8_t> FileBytesFromJson(const nlohmann::json& document);

}  // namespace orva
