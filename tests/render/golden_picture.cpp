#include "golden_picture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "golden/png_bgr.h"
#include "image/picture_writer.h"
#include "view/draw_surface.h"

namespace orva::test {

namespace {

constexpr int kChannelTolerance = 2;
constexpr double kOutlierShare = 0.001;

std::filesystem::path OutputFolder() {
    std::filesystem::path folder = ORVA_GOLDEN_OUT;
    std::filesystem::create_directories(folder);
    return folder;
}

bool Write(const std::filesystem::path& path, int width, int height,
           const std::vector<uint8_t>& bgr) {
    return WritePngFile(path.string(), {width, height, int64_t{width} * 3, bgr.data()});
}

}  // namespace

void ExpectMatchesGolden(const std::string& name, const CImageSurface& picture) {
    const std::filesystem::path golden = std::filesystem::path(ORVA_GOLDEN_DIR) / (name + ".png");
    const std::filesystem::path actual = OutputFolder() / (name + ".png");
    int width = 0;
    int height = 0;
    const std::vector<uint8_t> expected = ReadPngBgr(golden.string(), width, height);
    if (expected.empty()) {
        Write(actual, picture.Width(), picture.Height(), picture.Pixels());
        ADD_FAILURE() << "no golden picture " << golden << "; the actual one is in " << actual;
        return;
    }
    ASSERT_EQ(width, picture.Width()) << name;
    ASSERT_EQ(height, picture.Height()) << name;
    const std::vector<uint8_t>& got = picture.Pixels();
    std::vector<uint8_t> mask(got.size(), 0);
    int outliers = 0;
    for (std::size_t i = 0; i < got.size(); i += 3) {
        int worst = 0;
        for (std::size_t c = 0; c < 3; ++c) {
            worst = std::max(worst, std::abs(int(got[i + c]) - int(expected[i + c])));
        }
        if (worst > kChannelTolerance) {
            ++outliers;
            mask[i + 2] = 255;
        }
    }
    const int allowed = static_cast<int>(kOutlierShare * width * height);
    if (outliers > allowed) {
        Write(actual, width, height, got);
        Write(OutputFolder() / (name + "-diff.png"), width, height, mask);
    }
    EXPECT_LE(outliers, allowed) << name << ": " << outliers << " pixels differ; see " << actual;
}

}  // namespace orva::test
