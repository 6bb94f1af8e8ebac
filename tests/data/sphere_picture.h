#pragma once

#include <memory>
#include <string>
#include <vector>

#include "standard_view_render.h"
#include "view/draw_surface.h"

namespace orva::test {

// A smooth sphere of `material` filling most of a square picture of `size` pixels, rendered
// per pixel (display mode 400) from standard view 1. With `backdrop` a plain grey wall stands
// behind it, so what a transparent material lets through changes. The material folder must be
// set.
std::unique_ptr<CImageSurface> RenderSphere(const std::string& material, int size,
                                            bool backdrop = false);

// Brightness (luminance) and colour of the pixels the sphere covers, each channel 0..1.
struct CSphereShading {
    int covered = 0;
    double meanLuminance = 0.0;
    double luminanceDeviation = 0.0;  // standard deviation over the covered pixels
    double upperLuminance = 0.0;      // mean of the upper half of the disk
    double lowerLuminance = 0.0;      // mean of the lower half
    double meanRed = 0.0;
    double meanGreen = 0.0;
    double meanBlue = 0.0;
    std::vector<double> luminances;       // every covered pixel
    std::vector<double> innerLuminances;  // those within 0.8 of the disk's radius

    // Fraction of the inner pixels darker than `level`.
    double InnerFractionBelow(double level) const;
    // Fraction of all covered pixels brighter than `level`.
    double FractionAbove(double level) const;
};
CSphereShading MeasureSphere(const CImageSurface& picture);

// Writes the picture as PNG into the build's render folder for a person to look at.
void KeepPicture(const std::string& name, const CImageSurface& picture);

}  // namespace orva::test
