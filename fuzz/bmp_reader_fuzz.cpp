// Feeds arbitrary bytes to the BMP reader and reads back every byte of the picture it
// returns, so that a pixel block smaller than its rows shows up under the sanitizers. Also
// checks the promises callers rely on and stops on any broken one.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "image/bmp_reader.h"

namespace {

// Keeps the reads of every pixel from being optimised away.
volatile unsigned g_sink;

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void CheckFailed(const orva::BmpImage& image) {
    Require(image.width == 0 && image.height == 0 && image.stride == 0);
    Require(image.pixels == nullptr);
}

void CheckPicture(const orva::BmpImage& image, const orva::CBmpReadInfo& info) {
    Require(image.width > 0 && image.height > 0 && image.pixels != nullptr);
    Require(image.stride == orva::BmpImageStride(image.width));
    Require(int64_t{image.width} * image.height <= orva::kMaxBmpPixels);
    unsigned sum = 0;
    const size_t size = static_cast<size_t>(image.stride) * static_cast<size_t>(image.height);
    for (size_t i = 0; i < size; ++i) {
        sum |= image.pixels[i];
    }
    g_sink = sum;
    if (info.status == orva::EBmpStatus::kUndecoded) {
        Require(sum == 0);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    orva::BmpImage image;
    orva::CBmpReadInfo info;
    const int result = orva::ReadBmpMemory(std::span<const uint8_t>(data, size), image, &info);
    if (result == 1) {
        CheckPicture(image, info);
    } else {
        Require(result == -1);
        CheckFailed(image);
    }
    orva::ReleaseBmpImage(image);
    return 0;
}
