#include "picture/picture_options.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

#include "picture/scene_picture.h"

namespace orva {

namespace {

constexpr double kMaxTurn = 3600.0;

// A whole finite number of degrees within range, with nothing left over.
bool ParseDegrees(const std::string& text, float& degrees) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0]))) {
        return false;
    }
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(value) || std::fabs(value) > kMaxTurn) {
        return false;
    }
    degrees = static_cast<float>(value);
    return true;
}

}  // namespace

bool ParseBackground(const std::string& text, CPictureSettings& settings) {
    if (text == "transparent") {
        settings.transparent = true;
        settings.background.reset();
        return true;
    }
    const std::string hex = !text.empty() && text[0] == '#' ? text.substr(1) : text;
    if (hex.size() != 6) {
        return false;
    }
    for (char c : hex) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    settings.background = static_cast<uint32_t>(std::strtoul(hex.c_str(), nullptr, 16));
    settings.transparent = false;
    return true;
}

bool ParseTurn(const std::string& text, CPictureSettings& settings) {
    const std::size_t comma = text.find(',');
    float azimuth = 0.0f;
    float elevation = 0.0f;
    if (!ParseDegrees(text.substr(0, comma), azimuth)) {
        return false;
    }
    if (comma != std::string::npos && !ParseDegrees(text.substr(comma + 1), elevation)) {
        return false;
    }
    settings.turnAzimuth = azimuth;
    settings.turnElevation = elevation;
    return true;
}

}  // namespace orva
