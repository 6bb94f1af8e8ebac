#pragma once

#include <cstdint>
#include <vector>

#include "geometry/vector3.h"
#include "image/bmp_image.h"

namespace orva {

// Bilinear colour (red, green, blue, 0..1) of the map at (u, v), wrapping in both directions:
// u = 1.25 samples where u = 0.25 does. v = 0 is the bottom edge of the picture. An image
// without pixels (or with a zero width or height) samples as black; a coordinate that is NaN or
// infinite, or so large that width * u is, samples as 0.
CVector3 SampleColour(const BmpImage& image, float u, float v);

// A map's colours made floats, four to a texel (red, green, blue, 0), for a map sampled at
// most pixels of a picture (reflections, gloss): one load gives a texel's colours, converted
// already. Empty for an image without pixels or one too large to be worth it.
struct CTexelMap {
    int width = 0;
    int height = 0;
    std::vector<float> rgbx;

    bool Empty() const { return rgbx.empty(); }
};

// Maps up to this many pixels are made texel maps (16 bytes a pixel; reflection maps are
// 128 x 128).
inline constexpr int64_t kTexelMapMaxPixels = int64_t{512} * 512;

CTexelMap MakeTexelMap(const BmpImage& image);

// Exactly SampleColour(image, u, v) of the image the texels were made from, every bit.
CVector3 SampleColour(const CTexelMap& texels, float u, float v);

// From the texels when the map has them, else from the image: the same colour either way.
inline CVector3 SampleColour(const BmpImage& image, const CTexelMap* texels, float u, float v) {
    return texels != nullptr && !texels->Empty() ? SampleColour(*texels, u, v)
                                                 : SampleColour(image, u, v);
}

// Slope of the map's brightness (red + green + blue) at (u, v): the central differences
// across columns (bu) and across rows (bv), each divided by 765 and blended bilinearly like
// SampleColour. An image without pixels gives (0, 0); coordinates are guarded the same way.
struct CBumpGradient {
    float bu = 0.0f;
    float bv = 0.0f;
};
CBumpGradient SampleBumpGradient(const BmpImage& image, float u, float v);

}  // namespace orva
