#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "measure/jewel_report.h"

namespace orva {

// Adds "overlap_mm3" to a measure report: how much more the materials' own volumes add up to
// than the whole metal, where parts of different materials overlap (0 when they only touch or
// nest, or the scene was not read).
void AddMetalOverlap(nlohmann::ordered_json& report, const CJewelReport& measured);

// The line the text table ends with when the materials overlap; empty when they do not.
std::string FormatMetalOverlap(const nlohmann::ordered_json& report);

}  // namespace orva
