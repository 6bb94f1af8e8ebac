#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "scene/material_file.h"
#include "sphere_picture.h"

namespace orva {
namespace {

using test::CSphereShading;

constexpr int kPictureSize = 240;

const std::vector<std::string> kMetals = {"Gold18KYellow", "Gold18KWhite", "Gold18KRose",
                                          "Platinum", "Silver925"};
const std::vector<std::string> kStones = {"Diamond",  "Ruby",  "Sapphire", "Emerald",
                                          "Amethyst", "Topaz", "Onyx",     "Pearl"};

// A diffusely lit sphere has brightness L * n.z for base luminance L. Over the disk n.z has
// mean 2/3 and mean square 1/2, so its brightness spreads by sqrt(1/2 - 4/9) L = 0.236 L, and
// within 0.8 of the radius n.z >= 0.6. A mirror of the studio must spread further than that,
// and show reflections darker than any diffusely lit point of that inner part.
constexpr double kDiffuseSpread = 0.2357;
constexpr double kDiffuseInnerFloor = 0.6;

// The luminance of the material's base colour, 0..1.
double BaseLuminance(const std::string& name) {
    CMaterialRecord record;
    if (!LoadMaterialRecord(name, record)) {
        return -1.0;
    }
    return (0.299 * record.colours[3] + 0.587 * record.colours[4] + 0.114 * record.colours[5]) /
           255.0;
}

// Mean absolute change of the channels between two pictures over the pixels `mask` covers.
double ChangeUnder(const CImageSurface& mask, const CImageSurface& a, const CImageSurface& b) {
    double sum = 0.0;
    int count = 0;
    for (int y = 0; y < mask.Height(); ++y) {
        for (int x = 0; x < mask.Width(); ++x) {
            if (mask.Pixel(x, y) == test::kBackground) {
                continue;
            }
            for (int shift : {0, 8, 16}) {
                sum += std::abs(int((a.Pixel(x, y) >> shift) & 0xFF) -
                                int((b.Pixel(x, y) >> shift) & 0xFF));
            }
            ++count;
        }
    }
    return count > 0 ? sum / (3.0 * count * 255.0) : 0.0;
}

struct CRendered {
    CSphereShading shading;
    double baseLuminance = 0.0;
    double backdropChange = 0.0;  // how much a wall behind the sphere shows through
};

CRendered RenderMaterial(const std::string& name) {
    SetMaterialDirectory(ORVA_MATERIAL_DIR);
    const auto plain = test::RenderSphere(name, kPictureSize);
    const auto walled = test::RenderSphere(name, kPictureSize, true);
    test::KeepPicture("sphere_" + name, *plain);
    test::KeepPicture("sphere_" + name + "_backdrop", *walled);
    CRendered r;
    r.shading = test::MeasureSphere(*plain);
    r.baseLuminance = BaseLuminance(name);
    r.backdropChange = ChangeUnder(*plain, *plain, *walled);
    SetMaterialDirectory("material");
    return r;
}

// Each shipped material on a sphere, rendered when a test first asks for it and kept for the
// others; the pictures are written as PNG into the build folder for a person to look at.
class MaterialRenderTest : public ::testing::Test {
protected:
    static const CRendered& Rendered(const std::string& name) {
        auto found = s_rendered.find(name);
        if (found == s_rendered.end()) {
            found = s_rendered.emplace(name, RenderMaterial(name)).first;
        }
        return found->second;
    }
    static const CSphereShading& Shading(const std::string& name) { return Rendered(name).shading; }

    static std::map<std::string, CRendered> s_rendered;
};
std::map<std::string, CRendered> MaterialRenderTest::s_rendered;

TEST_F(MaterialRenderTest, EverySphereIsWhole) {
    // A closed sphere of radius 0.4 of the picture covers pi * 96^2 pixels.
    const double disk = M_PI * 0.16 * kPictureSize * kPictureSize;
    for (const auto* names : {&kMetals, &kStones}) {
        for (const std::string& name : *names) {
            EXPECT_NEAR(Shading(name).covered, disk, 0.02 * disk) << name;
            EXPECT_GT(Rendered(name).baseLuminance, 0.0) << name;
        }
    }
}

TEST_F(MaterialRenderTest, MetalsMirrorTheStudioRatherThanShowAFlatColour) {
    for (const std::string& name : kMetals) {
        const CRendered& r = Rendered(name);
        const CSphereShading& s = r.shading;
        SCOPED_TRACE(name);
        EXPECT_GT(s.luminanceDeviation, kDiffuseSpread * r.baseLuminance);
        EXPECT_GT(s.luminanceDeviation, 0.2);
        // Dark reflections of the floor well inside the outline...
        EXPECT_GT(s.InnerFractionBelow(0.45 * kDiffuseInnerFloor * r.baseLuminance), 0.10);
        // ...and softboxes brighter than the metal's own colour can be under plain light.
        EXPECT_GT(s.FractionAbove(std::min(0.95, 1.05 * r.baseLuminance)), 0.03);
        // The floor is below and the lights are above, whichever metal.
        EXPECT_GT(s.upperLuminance - s.lowerLuminance, 0.15);
        EXPECT_LT(r.backdropChange, 0.002);  // polished metal is opaque
    }
}

TEST_F(MaterialRenderTest, GoldsAreWarmerThanPlatinum) {
    const CSphereShading& platinum = Shading("Platinum");
    const CSphereShading& yellow = Shading("Gold18KYellow");
    const CSphereShading& rose = Shading("Gold18KRose");
    EXPECT_GT(yellow.meanRed - yellow.meanBlue, platinum.meanRed - platinum.meanBlue + 0.15);
    EXPECT_GT(rose.meanRed - rose.meanGreen, platinum.meanRed - platinum.meanGreen + 0.08);
    // Rose gold leans to red and yellow gold to green among the warm tones.
    EXPECT_GT(rose.meanRed - rose.meanGreen, yellow.meanRed - yellow.meanGreen);
    // Platinum and silver stay neutral or cool.
    for (const char* cool : {"Platinum", "Silver925"}) {
        EXPECT_LE(Shading(cool).meanRed, Shading(cool).meanBlue) << cool;
    }
}

// The wall differs from the background by almost half the range. An opaque surface hides it
// completely; a clear stone shows it through its front and its back (the square of its
// transparency, less where its sparkle makes it opaque), a change of several per cent.
TEST_F(MaterialRenderTest, ClearStonesLetTheBackdropThroughAndOpaqueOnesDoNot) {
    for (const std::string& name : kStones) {
        const bool opaque = name == "Onyx" || name == "Pearl";
        if (opaque) {
            EXPECT_LT(Rendered(name).backdropChange, 0.002) << name;
        } else {
            EXPECT_GT(Rendered(name).backdropChange, 0.02) << name;
        }
    }
}

// The mean of channel `c` exceeds each of the others by at least `margin`.
bool Dominates(const CSphereShading& s, char c, double margin) {
    const double r = s.meanRed, g = s.meanGreen, b = s.meanBlue;
    switch (c) {
        case 'r':
            return r > g + margin && r > b + margin;
        case 'g':
            return g > r + margin && g > b + margin;
        default:
            return b > r + margin && b > g + margin;
    }
}

TEST_F(MaterialRenderTest, ColouredStonesShowTheirColour) {
    EXPECT_TRUE(Dominates(Shading("Ruby"), 'r', 0.15));
    EXPECT_TRUE(Dominates(Shading("Sapphire"), 'b', 0.15));
    EXPECT_TRUE(Dominates(Shading("Emerald"), 'g', 0.08));
    const CSphereShading& amethyst = Shading("Amethyst");
    EXPECT_GT(std::min(amethyst.meanRed, amethyst.meanBlue), amethyst.meanGreen + 0.08);
    const CSphereShading& topaz = Shading("Topaz");
    EXPECT_GT(topaz.meanRed, topaz.meanGreen);
    EXPECT_GT(topaz.meanGreen, topaz.meanBlue);
    EXPECT_GT(topaz.meanRed - topaz.meanBlue, 0.2);
}

double ChannelSpread(const CSphereShading& s) {
    return std::max({s.meanRed, s.meanGreen, s.meanBlue}) -
           std::min({s.meanRed, s.meanGreen, s.meanBlue});
}

TEST_F(MaterialRenderTest, DiamondIsColourlessAndSparkles) {
    const CSphereShading& diamond = Shading("Diamond");
    EXPECT_LT(ChannelSpread(diamond), 0.05);
    EXPECT_GT(diamond.FractionAbove(0.9), 0.05);
}

TEST_F(MaterialRenderTest, OnyxIsBlackWithGlossyReflectionsOfTheLightsAbove) {
    const CSphereShading& onyx = Shading("Onyx");
    EXPECT_LT(onyx.meanLuminance, 0.2);
    EXPECT_GT(onyx.FractionAbove(0.9), 0.005);
    EXPECT_GT(onyx.upperLuminance, onyx.lowerLuminance + 0.03);
}

TEST_F(MaterialRenderTest, PearlIsSoftWhite) {
    const CSphereShading& pearl = Shading("Pearl");
    EXPECT_GT(pearl.meanLuminance, 0.65);
    EXPECT_LT(ChannelSpread(pearl), 0.08);
    // Soft: no mirror-like contrast.
    EXPECT_LT(pearl.luminanceDeviation, 0.2);
}

}  // namespace
}  // namespace orva
