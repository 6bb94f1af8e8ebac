#pragma once

#include <string>

namespace orva {

struct CPictureSettings;

// "RRGGBB" (a leading '#' allowed) or "transparent" into the settings' background; false,
// with the settings unchanged, for anything else.
bool ParseBackground(const std::string& text, CPictureSettings& settings);

// "AZ" or "AZ,EL" in degrees, each finite and within -3600..3600, into the settings' turn;
// false, with the settings unchanged, for anything else.
bool ParseTurn(const std::string& text, CPictureSettings& settings);

}  // namespace orva
