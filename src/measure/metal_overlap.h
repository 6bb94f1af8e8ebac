#pragma once

#include <string>
#include <vector>

#include "measure/solid_volume.h"

namespace orva {

// The lines the text table ends with when parts of different materials overlap, one per
// overlap: "overlap: 10.600 mm3 where Gold18KWhite reaches into Gold18KYellow is counted as
// Gold18KYellow" (volumes as the report rounds them); empty when parts only touch or nest.
std::string FormatMetalOverlaps(const std::vector<CMetalOverlap>& overlaps);

}  // namespace orva
