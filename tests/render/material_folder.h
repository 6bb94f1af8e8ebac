#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "image/bmp_image.h"
#include "scene_writer.h"

namespace orva::test {

// A pixel given in the renderer's order; the files store it blue first.
struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
};

// 24-bit bitmap bytes of a width x height picture; `pixels` row by row, bottom row first.
std::vector<uint8_t> BmpFileBytes(int width, int height, const std::vector<Rgb>& pixels);

// Reads the same picture into `image` through the bitmap reader (the caller releases it).
void MakeImage(BmpImage& image, int width, int height, const std::vector<Rgb>& pixels);

// Runs a test in a folder of its own as the current folder, with "material" and
// "material/TxtrMap" inside and the material folder pointed there.
class MaterialFolderTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void WriteMaterial(const std::string& relative, const CMaterialDescription& description);
    void WriteBmp(const std::string& relative, int width, int height,
                  const std::vector<Rgb>& pixels);
    void Remove(const std::string& relative);

    std::filesystem::path m_root;

private:
    std::filesystem::path m_previousDirectory;
};

}  // namespace orva::test
