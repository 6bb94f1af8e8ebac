#include "measure/metal_overlap.h"

#include <cmath>
#include <cstdio>

namespace orva {

void AddMetalOverlap(nlohmann::ordered_json& report, const CJewelReport& measured) {
    const bool ok = report.value("status", "") == "ok";
    report["overlap_mm3"] = ok ? std::round(measured.metal.overlapVolume * 1000.0) / 1000.0 : 0.0;
}

std::string FormatMetalOverlap(const nlohmann::ordered_json& report) {
    const auto it = report.find("overlap_mm3");
    if (it == report.end() || !it->is_number() || !(it->get<double>() > 0.0)) {
        return {};
    }
    char line[160];
    std::snprintf(line, sizeof line,
                  "overlap: %.3f mm3 of metal is counted under more than one material, in "
                  "their volumes and weights\n",
                  it->get<double>());
    return line;
}

}  // namespace orva
