#include "render/shading/texture_sampling.h"

#include <cmath>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace orva {

namespace {

// Texel index (wrapped into 0 .. size - 1) and blend weight of a coordinate along one axis.
struct CTexelPosition {
    int index = 0;
    float fraction = 0.0f;
};

// A coordinate beyond one turn of the image, out of line so that the usual case inlines.
[[gnu::noinline]] CTexelPosition LocateFar(float x, float whole, int size) {
    // The remainder is taken in double, which holds every texel index exactly, so a
    // coordinate far outside 0..1 still lands inside the image without an overflowing cast.
    double wrapped = std::fmod(static_cast<double>(whole), static_cast<double>(size));
    if (wrapped < 0.0) {
        wrapped += size;
    }
    int index = static_cast<int>(wrapped);
    return {index < size ? index : size - 1, x - whole};
}

inline CTexelPosition Locate(float coordinate, int size) {
    float x = static_cast<float>(size) * coordinate;
    if (!std::isfinite(x)) {
        x = 0.0f;
    }
    const float whole = std::floor(x);
    const float extent = static_cast<float>(size);
    if (whole >= -extent && whole < extent) {
        // Within one turn of the image (nearly always): the remainder is the index itself.
        const int index = static_cast<int>(whole);
        return {index < 0 ? index + size : index, x - whole};
    }
    return LocateFar(x, whole, size);
}

int Wrap(int index, int size) {
    index %= size;
    return index < 0 ? index + size : index;
}

bool HasPixels(const BmpImage& image) {
    return image.pixels != nullptr && image.width > 0 && image.height > 0 &&
           image.stride >= static_cast<int64_t>(image.width) * 3;
}

const uint8_t* PixelAt(const BmpImage& image, int column, int row) {
    return image.pixels + static_cast<int64_t>(row) * image.stride + column * 3;
}

int Brightness(const BmpImage& image, int column, int row) {
    const uint8_t* p = PixelAt(image, column, row);
    return p[0] + p[1] + p[2];
}

float Blend(float p00, float p10, float p01, float p11, float fx, float fy) {
    return (1.0f - fy) * ((1.0f - fx) * p00 + fx * p10) + fy * ((1.0f - fx) * p01 + fx * p11);
}

}  // namespace

CVector3 SampleColour(const BmpImage& image, float u, float v) {
    if (!HasPixels(image)) {
        return {};
    }
    const CTexelPosition x = Locate(u, image.width);
    const CTexelPosition y = Locate(v, image.height);
    const int i2 = x.index + 1 < image.width ? x.index + 1 : 0;
    const int j2 = y.index + 1 < image.height ? y.index + 1 : 0;
    const uint8_t* p00 = PixelAt(image, x.index, y.index);
    const uint8_t* p10 = PixelAt(image, i2, y.index);
    const uint8_t* p01 = PixelAt(image, x.index, j2);
    const uint8_t* p11 = PixelAt(image, i2, j2);
    CVector3 colour;
    for (int c = 0; c < 3; ++c) {
        const int byte = 2 - c;  // pixels are blue, green, red
        colour[c] =
            Blend(p00[byte], p10[byte], p01[byte], p11[byte], x.fraction, y.fraction) / 255.0f;
    }
    return colour;
}

CTexelMap MakeTexelMap(const BmpImage& image) {
    CTexelMap texels;
    if (!HasPixels(image) || int64_t{image.width} * image.height > kTexelMapMaxPixels) {
        return texels;
    }
    texels.width = image.width;
    texels.height = image.height;
    texels.rgbx.resize(static_cast<std::size_t>(image.width) * image.height * 4);
    float* out = texels.rgbx.data();
    for (int row = 0; row < image.height; ++row) {
        for (int column = 0; column < image.width; ++column, out += 4) {
            const uint8_t* p = PixelAt(image, column, row);
            out[0] = p[2];
            out[1] = p[1];
            out[2] = p[0];
            out[3] = 0.0f;
        }
    }
    return texels;
}

CVector3 SampleColour(const CTexelMap& texels, float u, float v) {
    if (texels.Empty()) {
        return {};
    }
    const CTexelPosition x = Locate(u, texels.width);
    const CTexelPosition y = Locate(v, texels.height);
    const int i2 = x.index + 1 < texels.width ? x.index + 1 : 0;
    const int j2 = y.index + 1 < texels.height ? y.index + 1 : 0;
    const float* row1 = texels.rgbx.data() + std::size_t(y.index) * texels.width * 4;
    const float* row2 = texels.rgbx.data() + std::size_t(j2) * texels.width * 4;
    const float* t00 = row1 + x.index * 4;
    const float* t10 = row1 + i2 * 4;
    const float* t01 = row2 + x.index * 4;
    const float* t11 = row2 + i2 * 4;
#if defined(__SSE2__)
    // Blend's operations in Blend's order, one colour a lane: each lane rounds as the scalar
    // code does.
    const __m128 fx = _mm_set1_ps(x.fraction);
    const __m128 fy = _mm_set1_ps(y.fraction);
    const __m128 one = _mm_set1_ps(1.0f);
    const __m128 gx = _mm_sub_ps(one, fx);
    const __m128 top =
        _mm_add_ps(_mm_mul_ps(gx, _mm_loadu_ps(t00)), _mm_mul_ps(fx, _mm_loadu_ps(t10)));
    const __m128 bottom =
        _mm_add_ps(_mm_mul_ps(gx, _mm_loadu_ps(t01)), _mm_mul_ps(fx, _mm_loadu_ps(t11)));
    const __m128 blended = _mm_add_ps(_mm_mul_ps(_mm_sub_ps(one, fy), top), _mm_mul_ps(fy, bottom));
    alignas(16) float colour[4];
    _mm_store_ps(colour, _mm_div_ps(blended, _mm_set1_ps(255.0f)));
    return {colour[0], colour[1], colour[2]};
#else
    CVector3 colour;
    for (int c = 0; c < 3; ++c) {
        colour[c] = Blend(t00[c], t10[c], t01[c], t11[c], x.fraction, y.fraction) / 255.0f;
    }
    return colour;
#endif
}

CBumpGradient SampleBumpGradient(const BmpImage& image, float u, float v) {
    if (!HasPixels(image)) {
        return {};
    }
    const CTexelPosition x = Locate(u, image.width);
    const CTexelPosition y = Locate(v, image.height);
    const int w = image.width;
    const int h = image.height;
    const int c[4] = {Wrap(x.index - 1, w), x.index, Wrap(x.index + 1, w), Wrap(x.index + 2, w)};
    const int r[4] = {Wrap(y.index - 1, h), y.index, Wrap(y.index + 1, h), Wrap(y.index + 2, h)};
    // Differences at texel (c[a], r[b]) for a, b in 1..2.
    auto dx = [&](int a, int b) {
        return static_cast<float>(Brightness(image, c[a + 1], r[b]) -
                                  Brightness(image, c[a - 1], r[b])) /
               765.0f;
    };
    auto dy = [&](int a, int b) {
        return static_cast<float>(Brightness(image, c[a], r[b + 1]) -
                                  Brightness(image, c[a], r[b - 1])) /
               765.0f;
    };
    return {Blend(dx(1, 1), dx(2, 1), dx(1, 2), dx(2, 2), x.fraction, y.fraction),
            Blend(dy(1, 1), dy(2, 1), dy(1, 2), dy(2, 2), x.fraction, y.fraction)};
}

}  // namespace orva
