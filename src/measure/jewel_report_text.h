#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "measure/jewel_report.h"
#include "scene/scene_file.h"

namespace orva {

// The report as one JSON document: {"status", "unit", "bounds", "metal_volume_mm3",
// "uncertainty_pct", "metals", "gems", "overlap_mm3"}; a scene that was not read has empty
// lists, null bounds and no volumes.
nlohmann::ordered_json DescribeJewel(const CJewelReport& report, CLoadReport::EStatus status);

// The same report as a short table; a scene that was not read gives only its status.
std::string FormatJewelTable(const CJewelReport& report, CLoadReport::EStatus status);

// The table of a measured scene: what `orva measure` prints, and what the viewer's report
// window copies, so that both say the same.
std::string FormatJewelReportText(const CJewelReport& report);

}  // namespace orva
