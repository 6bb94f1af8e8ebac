#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "image/picture_writer.h"

namespace orva {

// A picture of random colours and alpha, which compresses to nothing and tells every pixel
// apart. Rows are padded (one spare byte of colour, three of alpha) so that strides count.
struct CNoisePicture {
    int width;
    int height;
    int64_t stride;
    int64_t alphaStride;
    std::vector<uint8_t> bgr;
    std::vector<uint8_t> alpha;

    CNoisePicture(int w, int h, unsigned seed)
        : width(w), height(h), stride(3 * w + 1), alphaStride(w + 3) {
        std::mt19937 random(seed);
        bgr.resize(static_cast<size_t>(stride) * h);
        alpha.resize(static_cast<size_t>(alphaStride) * h);
        for (uint8_t& byte : bgr) {
            byte = static_cast<uint8_t>(random());
        }
        for (uint8_t& byte : alpha) {
            byte = static_cast<uint8_t>(random());
        }
    }
    const uint8_t* Row(int y) const { return bgr.data() + y * stride; }
    const uint8_t* AlphaRow(int y) const { return alpha.data() + y * alphaStride; }
    CPictureView View(bool withAlpha) const {
        return {width, height, stride, bgr.data(), withAlpha ? alpha.data() : nullptr, alphaStride};
    }
};

}  // namespace orva
