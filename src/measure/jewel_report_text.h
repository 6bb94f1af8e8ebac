#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "measure/jewel_report.h"
#include "scene/scene_file.h"

namespace orva {

// The report's status: "ok", "incomplete" (the file ends early; the objects before that point
// are measured), "invalid" or "unreadable".
const char* JewelStatus(const CJewelReport& report);

// The first line of an incomplete report, "INCOMPLETE: the file ends early; N objects
// measured" or "INCOMPLETE: N objects left out of the measurement"; empty for any other.
std::string IncompleteLine(const CJewelReport& report);

// "ring: inner diameter 16.00 mm, circumference 50.27 mm; size US 5 1/4, UK K, EU 50, JP 10"
std::string RingLine(const CRingSize& ring);

// The report in one line for a shop's page: the metal by alloy with its weight (its volume
// where no alloy is known), then the stones alike in cut and material with their count and
// carats, "18K yellow gold 3.42 g · 1 round brilliant diamond 0.98 ct · 2 pearls".
std::string JewelSummaryLine(const CJewelReport& report);

// The report as one JSON document: {"status", "unit", "bounds", "metal_volume_mm3",
// "uncertainty_pct", "metals", "gems", "overlap_mm3", "overlaps", "ring", "warnings",
// "stopped"}; "ring" is {"inner_diameter_mm", "circumference_mm", "us", "uk", "eu", "jp"} for a
// ring, else null;
// "overlaps" lists where parts of two materials overlap ({"volume_mm3", "material", "counted_as"});
// "stopped" says where reading stopped in an incomplete file ({"byte", "record", "reason"}), else
// null. A scene that was not read has empty lists, null bounds and no volumes.
nlohmann::ordered_json DescribeJewel(const CJewelReport& report);

// The same report as a short table: what `orva measure` prints and what the viewer's report
// window copies, so that both say the same. A scene that was not read gives only its status.
std::string FormatJewelTable(const CJewelReport& report);

}  // namespace orva
