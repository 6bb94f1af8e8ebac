#include "measure/metal_overlap.h"

#include <cstdio>

#include "measure/jewel_figures.h"

namespace orva {

namespace {

const char* MaterialName(const std::string& name) {
    return name.empty() ? "(default)" : name.c_str();
}

}  // namespace

std::string FormatMetalOverlaps(const std::vector<CMetalOverlap>& overlaps) {
    std::string text;
    for (const CMetalOverlap& o : overlaps) {
        char line[512];
        std::snprintf(line, sizeof line,
                      "overlap: %.3f mm3 where %.120s reaches into %.120s is counted as %.120s\n",
                      Rounded(o.volume, kMetalMm3Places), MaterialName(o.material),
                      MaterialName(o.countedAs), MaterialName(o.countedAs));
        text += line;
    }
    return text;
}

}  // namespace orva
