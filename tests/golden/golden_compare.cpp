// Compares a picture that orva rendered with its golden picture in the repository.
//
//   golden_compare GOLDEN.png ACTUAL.png CHANNEL_TOLERANCE OUTLIER_SHARE
//
// A pixel is an outlier when one of its channels differs by more than CHANNEL_TOLERANCE, and at
// most OUTLIER_SHARE of the pixels may be outliers; 0 0 asks for the same decoded pixels, byte
// for byte (the PNG files themselves may differ with the zlib that wrote them). A passing picture
// is removed; a failing one stays where orva wrote it, beside ACTUAL-diff.png, a mask of the
// differences on the golden dimmed. With ORVA_UPDATE_GOLDENS=1 a missing or failing golden is
// replaced by the actual picture. Exit status 0 when the picture matches (or the golden was
// updated), 1 when not, 2 on a usage error.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "golden/png_bgr.h"

namespace {

namespace fs = std::filesystem;
using orva::test::ReadPngBgr;
using orva::test::WritePngBgr;

struct CTolerance {
    int channel = 0;
    double outlierShare = 0.0;
};

struct CPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> bgr;
};

struct CComparison {
    long outliers = 0;
    long allowed = 0;
    int largestDifference = 0;
    std::vector<uint8_t> mask;
};

bool Read(const fs::path& path, CPicture& picture) {
    picture.bgr = ReadPngBgr(path.string(), picture.width, picture.height);
    return !picture.bgr.empty();
}

int LargestChannelDifference(const uint8_t* a, const uint8_t* b) {
    int largest = 0;
    for (int c = 0; c < 3; ++c) {
        largest = std::max(largest, std::abs(int(a[c]) - int(b[c])));
    }
    return largest;
}

// Outliers red, smaller differences yellow, on the golden in dark grey so that one sees where
// on the jewellery they lie.
CComparison Compare(const CPicture& golden, const CPicture& actual, const CTolerance& tolerance) {
    CComparison result;
    const long pixels = long(golden.width) * golden.height;
    result.allowed = static_cast<long>(tolerance.outlierShare * double(pixels));
    result.mask.resize(golden.bgr.size());
    for (long i = 0; i < pixels; ++i) {
        const uint8_t* g = &golden.bgr[i * 3];
        uint8_t* m = &result.mask[i * 3];
        const int difference = LargestChannelDifference(g, &actual.bgr[i * 3]);
        result.largestDifference = std::max(result.largestDifference, difference);
        const uint8_t grey = static_cast<uint8_t>((g[0] + g[1] + g[2]) / 8);
        const bool outlier = difference > tolerance.channel;
        result.outliers += outlier;
        m[0] = difference == 0 ? grey : 0;
        m[1] = difference == 0 ? grey : (outlier ? 0 : 255);
        m[2] = difference == 0 ? grey : 255;
    }
    return result;
}

bool UpdateRequested() {
    const char* update = std::getenv("ORVA_UPDATE_GOLDENS");
    return update != nullptr && std::string(update) == "1";
}

// With ORVA_UPDATE_GOLDENS=1 the actual picture becomes the golden; otherwise says how to.
int Reject(const fs::path& golden, const fs::path& actual) {
    if (!UpdateRequested()) {
        std::printf(
            "actual picture: %s\naccept it with ORVA_UPDATE_GOLDENS=1 "
            "(tests/golden/README.md)\n",
            actual.c_str());
        return 1;
    }
    std::error_code error;
    fs::copy_file(actual, golden, fs::copy_options::overwrite_existing, error);
    if (error) {
        std::printf("cannot update %s: %s\n", golden.c_str(), error.message().c_str());
        return 1;
    }
    std::printf("updated %s\n", golden.c_str());
    fs::remove(actual, error);
    return 0;
}

bool ParseTolerance(char** argv, CTolerance& tolerance) {
    char* end1 = nullptr;
    char* end2 = nullptr;
    tolerance.channel = static_cast<int>(std::strtol(argv[3], &end1, 10));
    tolerance.outlierShare = std::strtod(argv[4], &end2);
    return *argv[3] != '\0' && *argv[4] != '\0' && *end1 == '\0' && *end2 == '\0' &&
           tolerance.channel >= 0 && tolerance.channel <= 255 && tolerance.outlierShare >= 0 &&
           tolerance.outlierShare < 1;
}

// Compares and, on a failure, leaves the mask beside the actual picture.
int Check(const fs::path& golden, const fs::path& actual, const CTolerance& tolerance) {
    const fs::path diff = fs::path(actual).replace_extension().string() + "-diff.png";
    std::error_code error;
    fs::remove(diff, error);
    CPicture expected;
    CPicture got;
    if (!Read(actual, got)) {
        std::printf("cannot read the actual picture %s\n", actual.c_str());
        return 1;
    }
    if (!Read(golden, expected)) {
        std::printf("no golden picture %s\n", golden.c_str());
        return Reject(golden, actual);
    }
    if (expected.width != got.width || expected.height != got.height) {
        std::printf("the golden picture is %d x %d, the actual one %d x %d\n", expected.width,
                    expected.height, got.width, got.height);
        return Reject(golden, actual);
    }
    const CComparison result = Compare(expected, got, tolerance);
    std::printf("%ld pixels differ by more than %d (at most %ld may); largest difference %d\n",
                result.outliers, tolerance.channel, result.allowed, result.largestDifference);
    if (result.outliers <= result.allowed) {
        fs::remove(actual, error);
        return 0;
    }
    if (WritePngBgr(diff.string(), got.width, got.height, result.mask)) {
        std::printf("differences: %s\n", diff.c_str());
    }
    return Reject(golden, actual);
}

}  // namespace

int main(int argc, char** argv) {
    CTolerance tolerance;
    if (argc != 5 || !ParseTolerance(argv, tolerance)) {
        std::fprintf(stderr,
                     "usage: golden_compare GOLDEN.png ACTUAL.png CHANNEL_TOLERANCE "
                     "OUTLIER_SHARE\n");
        return 2;
    }
    return Check(argv[1], argv[2], tolerance);
}
