#pragma once

#include <nlohmann/json.hpp>

#include "scene/scene_file.h"

namespace orva {

class CSceneObject;

// What `orva info` reports of one object: its common fields, its box under the identity
// (null when it measures nothing) and the fields of its class; groups list their children.
nlohmann::ordered_json DescribeObject(const CSceneObject& object);

// The Zoom All box of a top-level list: every object shown (state 0 or 1) that is not a
// reference plane, measured under the identity. Null when nothing was measured.
nlohmann::ordered_json SceneBounds(const CSceneObject* first);

// The whole report: {"status", "objects", "bounds"}.
nlohmann::ordered_json DescribeScene(const CSceneAnchor& scene, const CLoadReport& load);

// The same report as a readable table.
std::string FormatSceneTable(const nlohmann::ordered_json& report);

}  // namespace orva
