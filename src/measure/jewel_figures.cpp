#include "measure/jewel_figures.h"

#include <cmath>

#include "measure/metal_overlap.h"

namespace orva {

double Rounded(double value, int places) {
    const double scale = std::pow(10.0, places);
    return std::round(value * scale) / scale;
}

std::optional<double> Rounded(const std::optional<double>& value, int places) {
    return value ? std::optional<double>(Rounded(*value, places)) : std::nullopt;
}

std::optional<double> LineCarats(const CGemEntry& gem) {
    // Each stone's carats unrounded, so that ten alike stones are ten times one, not ten
    // times one's rounding.
    return gem.caratEach ? std::optional<double>(Rounded(*gem.caratEach * gem.count, kCaratPlaces))
                         : std::nullopt;
}

void AddUpJewel(CJewelReport& report) {
    CJewelTotals& t = report.totals;
    t = {};
    if (!report.metals.empty()) {
        t.metalGrams = 0.0;
    }
    for (const CMetalEntry& m : report.metals) {
        if (!m.weightGrams) {
            t.metalGrams.reset();
            break;
        }
        *t.metalGrams += Rounded(*m.weightGrams, kGramPlaces);
    }
    for (const CGemEntry& g : report.gems) {
        if (g.organic) {
            t.organicGems += g.count;
            continue;
        }
        t.stones += g.count;
        t.carats += LineCarats(g).value_or(0.0);
    }
    t.overlapMm3 = Rounded(report.metal.overlapVolume, kMetalMm3Places);
    t.overlapLine = FormatMetalOverlaps(report.metal.overlaps);
}

}  // namespace orva
