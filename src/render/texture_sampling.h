#pragma once

#include "geometry/vector3.h"
#include "image/bmp_image.h"

namespace orva {

// Bilinear colour (red, green, blue, 0..1) of the map at (u, v), wrapping in both directions:
// u = 1.25 samples where u = 0.25 does. v = 0 is the bottom edge of the picture. An image
// without pixels (or with a zero width or height) samples as black; a coordinate that is NaN or
// infinite, or so large that width * u is, samples as 0.
CVector3 SampleColour(const BmpImage& image, float u, float v);

// Slope of the map's brightness (red + green + blue) at (u, v): the central differences
// across columns (bu) and across rows (bv), each divided by 765 and blended bilinearly like
// SampleColour. An image without pixels gives (0, 0); coordinates are guarded the same way.
struct CBumpGradient {
    float bu = 0.0f;
    float bv = 0.0f;
};
CBumpGradient SampleBumpGradient(const BmpImage& image, float u, float v);

}  // namespace orva
