#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orva {

// A PNG file read back with libpng: 4 bytes per pixel (red, green, blue, alpha), top row
// first.
struct CDecodedPng {
    int width = 0;
    int height = 0;
    bool hasAlpha = false;  // whether the file carries an alpha channel
    std::vector<uint8_t> rgba;
};

bool DecodePng(const std::string& path, CDecodedPng& decoded);

}  // namespace orva
