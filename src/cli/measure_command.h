#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "cli/jewel_report.h"
#include "scene/scene_file.h"

namespace orva {

struct CMeasureOptions {
    std::string scenePath;
    std::string gemLibraryPath;     // empty: the library beside the program
    std::string materialDirectory;  // empty: the folder beside the program
    std::string alloy;              // empty: each material's own alloy
    double accuracyPercent = 0.5;
    int threads = 0;  // below 1: one per core
    bool json = false;
};

// The report as one JSON document: {"status", "unit", "bounds", "metal_volume_mm3",
// "uncertainty_pct", "metals", "gems"}; a scene that was not read has empty lists and null
// bounds.
nlohmann::ordered_json DescribeJewel(const CJewelReport& report, CLoadReport::EStatus status);

// The same report as a short table.
std::string FormatJewelTable(const nlohmann::ordered_json& report);

// Reads the scene, measures its metal and stones and prints the report. Exit status: 0
// measured, 1 invalid or unreadable scene, 2 bad options.
int RunMeasureCommand(const CMeasureOptions& options);

}  // namespace orva
