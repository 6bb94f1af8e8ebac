#include "measure/metal_overlap.h"

#include <cstdio>

namespace orva {

std::string FormatMetalOverlap(double overlapMm3) {
    if (!(overlapMm3 > 0.0)) {
        return {};
    }
    char line[160];
    std::snprintf(line, sizeof line,
                  "overlap: %.3f mm3 of metal is counted under more than one material, in "
                  "their volumes and weights\n",
                  overlapMm3);
    return line;
}

}  // namespace orva
