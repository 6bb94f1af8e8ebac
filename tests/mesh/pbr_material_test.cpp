// The looks web viewers get: every shipped material and any material file at all map to a
// valid metallic-roughness material, metal metallic, stones clear or opaque as they are known.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>
#include <string>

#include "mesh/pbr_material.h"
#include "scene/material_file.h"

namespace orva {
namespace {

// Everything glTF and its extensions accept, whatever went in.
void ExpectValid(const CPbrMaterial& m, const std::string& what) {
    const auto unit = [](float v) { return std::isfinite(v) && v >= 0.0f && v <= 1.0f; };
    for (int c = 0; c < 3; ++c) {
        EXPECT_TRUE(unit(m.baseColour[c])) << what;
        EXPECT_TRUE(unit(m.attenuationColour[c])) << what;
    }
    EXPECT_TRUE(unit(m.opacity) && unit(m.metallic) && unit(m.roughness) && unit(m.transmission) &&
                unit(m.clearcoat) && unit(m.clearcoatRoughness))
        << what;
    EXPECT_TRUE(std::isfinite(m.ior) && m.ior >= 1.0f) << what;
    EXPECT_TRUE(std::isfinite(m.dispersion) && m.dispersion >= 0.0f) << what;
    EXPECT_TRUE(std::isfinite(m.thicknessMm) && m.thicknessMm >= 0.0f) << what;
    EXPECT_TRUE(std::isfinite(m.attenuationDistanceM) && m.attenuationDistanceM >= 0.0f) << what;
    EXPECT_FALSE(m.name.empty()) << what;
}

TEST(PbrMaterialTest, ShippedMaterialsMapAsTheStonesAre) {
    SetMaterialDirectory(ORVA_MATERIAL_DIR);
    // index of refraction (0: opaque) of each shipped stone
    const std::map<std::string, float> stones = {
        {"Diamond", 2.417f},  {"Ruby", 1.77f},  {"Sapphire", 1.77f}, {"Emerald", 1.58f},
        {"Amethyst", 1.544f}, {"Topaz", 1.62f}, {"Onyx", 0.0f},      {"Pearl", 0.0f}};
    const char* metals[] = {"Gold18KYellow", "Gold18KWhite", "Gold18KRose", "Platinum",
                            "Silver925"};
    for (const char* name : metals) {
        CMaterialRecord record;
        ASSERT_TRUE(LoadMaterialRecord(name, record)) << name;
        const CPbrMaterial m = PbrMaterialOf(CMeshPart::kMetal, name, &record, 0.0f);
        ExpectValid(m, name);
        EXPECT_EQ(m.metallic, 1.0f) << name;
        EXPECT_LT(m.roughness, 0.2f) << name << ": the metals are polished";
        EXPECT_EQ(m.transmission, 0.0f) << name;
    }
    // Yellow gold is yellow in linear light too: red above green above blue.
    CMaterialRecord gold;
    ASSERT_TRUE(LoadMaterialRecord("Gold18KYellow", gold));
    const auto g = PbrMaterialOf(CMeshPart::kMetal, "Gold18KYellow", &gold, 0).baseColour;
    EXPECT_TRUE(g[0] > g[1] && g[1] > 1.5f * g[2]);
    for (const auto& [name, ior] : stones) {
        CMaterialRecord record;
        ASSERT_TRUE(LoadMaterialRecord(name, record)) << name;
        const CPbrMaterial m = PbrMaterialOf(CMeshPart::kGem, name, &record, 3.0f);
        ExpectValid(m, name);
        EXPECT_EQ(m.metallic, 0.0f) << name;
        EXPECT_EQ(m.opacity, 1.0f) << name << ": a stone is never blended";
        if (ior > 0.0f) {
            EXPECT_EQ(m.transmission, 1.0f) << name;
            EXPECT_FLOAT_EQ(m.ior, ior) << name;
            EXPECT_FLOAT_EQ(m.thicknessMm, 3.0f) << name;
            EXPECT_FLOAT_EQ(m.attenuationDistanceM, 0.003f) << name;
            EXPECT_TRUE(m.flatShaded) << name;
        } else {
            EXPECT_EQ(m.transmission, 0.0f) << name;
        }
        EXPECT_EQ(m.dispersion > 0.0f, name == "Diamond") << name;
        EXPECT_EQ(m.clearcoat > 0.0f, name == "Pearl") << name;
    }
}

TEST(PbrMaterialTest, AnyMaterialFileGivesAValidLook) {
    std::mt19937 random(31);
    std::uniform_int_distribution<int32_t> any(-300, 400);
    const char* names[] = {"",      "Cubic Zirconia", "cubic_zirconia", "DIAMOND", "Glass",
                           "pearl", "Gold18KYellow",  "tanzanite",      "Jet",     "x"};
    for (int trial = 0; trial < 3000; ++trial) {
        CMaterialRecord r;
        for (int32_t& c : r.colours) {
            c = any(random);
        }
        r.shininess = any(random);
        r.transparency = any(random);
        const std::string name = names[trial % 10];
        const auto kind = trial % 3 == 0 ? CMeshPart::kMetal : CMeshPart::kGem;
        const float thickness = std::uniform_real_distribution<float>(0.0f, 20.0f)(random);
        const CPbrMaterial m = PbrMaterialOf(kind, name, trial % 7 == 0 ? nullptr : &r, thickness);
        ExpectValid(m, name + " #" + std::to_string(trial));
        if (kind == CMeshPart::kGem && StoneKindOf(name) == EStoneKind::kClear) {
            EXPECT_EQ(m.transmission, 1.0f);
        }
    }
    // Names are known whatever their case and separators.
    EXPECT_FLOAT_EQ(PbrMaterialOf(CMeshPart::kGem, "cubic_Zirconia", nullptr, 1).ior, 2.15f);
    EXPECT_EQ(StoneKindOf("Glass"), EStoneKind::kUnknown);
}

}  // namespace
}  // namespace orva
