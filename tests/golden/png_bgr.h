#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orva::test {

// The picture's pixels as blue, green, red, top row first; empty when the file cannot be read.
std::vector<uint8_t> ReadPngBgr(const std::string& path, int& width, int& height);

// Writes pixels laid out as ReadPngBgr returns them; false when the file cannot be written.
bool WritePngBgr(const std::string& path, int width, int height, const std::vector<uint8_t>& bgr);

}  // namespace orva::test
