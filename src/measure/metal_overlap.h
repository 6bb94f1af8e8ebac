#pragma once

#include <string>

namespace orva {

// The line the text table ends with when parts of different materials overlap by
// `overlapMm3` (the materials' own volumes add up to that much more than the whole metal);
// empty when they only touch or nest.
std::string FormatMetalOverlap(double overlapMm3);

}  // namespace orva
