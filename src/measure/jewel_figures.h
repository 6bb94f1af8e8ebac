#pragma once

#include <optional>

#include "measure/jewel_report.h"

namespace orva {

// The places the report gives each figure to: enough digits for a jeweller, few enough to
// read. The JSON carries the figures rounded so; the table and the viewer print these rounded
// figures, to fewer places, so that all three agree and a total is the sum of its lines.
constexpr int kMillimetrePlaces = 3;  // box corners, stone sizes
constexpr int kMetalMm3Places = 3;    // metal volumes, the overlap
constexpr int kPercentPlaces = 3;     // the metal volume's uncertainty
constexpr int kGramPlaces = 4;
constexpr int kStoneMm3Places = 4;
constexpr int kCaratPlaces = 4;

double Rounded(double value, int places);
std::optional<double> Rounded(const std::optional<double>& value, int places);

// The carats of a line's stones together, rounded; none for an unknown stone.
std::optional<double> LineCarats(const CGemEntry& gem);

}  // namespace orva
