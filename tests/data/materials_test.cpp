#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "image/bmp_reader.h"
#include "render/render_context.h"
#include "render/shading/render_material.h"
#include "scene/byte_reader.h"
#include "scene/material_file.h"
#include "sphere_picture.h"

namespace orva {
namespace {

using nlohmann::json;

const std::vector<std::string> kMetals = {"Gold18KYellow", "Gold18KWhite", "Gold18KRose",
                                          "Platinum", "Silver925"};
const std::vector<std::string> kStones = {"Diamond",  "Ruby",  "Sapphire", "Emerald",
                                          "Amethyst", "Topaz", "Onyx",     "Pearl"};
// The opaque stones: black onyx and pearl.
const std::set<std::string> kOpaqueStones = {"Onyx", "Pearl"};
const char* const kSlots[4] = {"colour", "bump", "reflection", "gloss"};

bool IsMetal(const std::string& name) {
    return std::find(kMetals.begin(), kMetals.end(), name) != kMetals.end();
}

// The generated folder is checked against the description it was made from, read here
// independently of the generator's own reader.
class ShippedMaterialsTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::ifstream in(ORVA_MATERIALS_JSON);
        ASSERT_TRUE(in) << ORVA_MATERIALS_JSON;
        m_description = json::parse(in);
        SetMaterialDirectory(ORVA_MATERIAL_DIR);
    }
    void TearDown() override { SetMaterialDirectory("material"); }

    const json& Materials() const { return m_description.at("materials"); }
    const json& Maps() const { return m_description.at("maps"); }
    const json& Material(const std::string& name) const {
        for (const json& m : Materials()) {
            if (m.at("name") == name) {
                return m;
            }
        }
        throw std::runtime_error("no material " + name);
    }

    json m_description;
};

std::vector<uint8_t> FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<int32_t> DescribedColours(const json& m) {
    std::vector<int32_t> colours;
    for (const char* key : {"ambient", "base", "highlight"}) {
        for (const json& c : m.at(key)) {
            colours.push_back(c.get<int32_t>());
        }
    }
    return colours;
}

std::string DescribedMap(const json& m, const char* slot) {
    const json maps = m.value("maps", json::object());
    return maps.contains(slot) ? maps.at(slot).get<std::string>() + ".bmp" : std::string();
}

TEST_F(ShippedMaterialsTest, TheSetHoldsExactlyTheMetalsAndStonesUnderTheirFileNames) {
    std::set<std::string> expected(kMetals.begin(), kMetals.end());
    expected.insert(kStones.begin(), kStones.end());
    std::set<std::string> described;
    for (const json& m : Materials()) {
        described.insert(m.at("name").get<std::string>());
    }
    EXPECT_EQ(described, expected);
    for (const std::string& name : expected) {
        // Exactly this spelling, so no lookup that ignores case is needed to find it.
        EXPECT_TRUE(
            std::filesystem::is_regular_file(std::string(ORVA_MATERIAL_DIR) + "/" + name + ".mtl"))
            << name;
    }
}

TEST_F(ShippedMaterialsTest, EveryMaterialFileReadsBackWithItsDescribedValues) {
    for (const json& m : Materials()) {
        const std::string name = m.at("name");
        SCOPED_TRACE(name);
        const std::vector<uint8_t> bytes =
            FileBytes(std::string(ORVA_MATERIAL_DIR) + "/" + name + ".mtl");
        CByteReader in(bytes);
        CMaterialRecord read;
        ASSERT_EQ(ReadMaterialFile(in, read), 1);
        EXPECT_EQ(in.RemainingBytes(), 0);  // nothing after the fourth map name

        CMaterialRecord looked;
        ASSERT_TRUE(LoadMaterialRecord(name, looked));
        for (const CMaterialRecord* record : {&read, &looked}) {
            EXPECT_EQ(std::vector<int32_t>(record->colours.begin(), record->colours.end()),
                      DescribedColours(m));
            EXPECT_EQ(record->shininess, m.at("shininess").get<int32_t>());
            EXPECT_EQ(record->transparency, m.at("transparency").get<int32_t>());
            for (int slot = 0; slot < 4; ++slot) {
                EXPECT_EQ(record->textureNames[slot], DescribedMap(m, kSlots[slot])) << slot;
            }
        }
    }
}

TEST_F(ShippedMaterialsTest, EveryMapIsA24BitPictureOfItsDescribedSize) {
    std::set<std::string> named;
    for (const json& m : Materials()) {
        const json maps = m.value("maps", json::object());
        for (const auto& item : maps.items()) {
            named.insert(item.value().get<std::string>());
        }
    }
    for (const std::string& map : named) {
        SCOPED_TRACE(map);
        ASSERT_TRUE(Maps().contains(map));
        const int size = Maps().at(map).value("size", 256);
        EXPECT_TRUE(size == 128 || size == 256) << size;
        BmpImage image;
        CBmpReadInfo info;
        ASSERT_EQ(
            ReadBmpFile(std::string(ORVA_MATERIAL_DIR) + "/TxtrMap/" + map + ".bmp", image, &info),
            1);
        EXPECT_EQ(info.status, EBmpStatus::kDecoded);
        EXPECT_EQ(info.bitsPerPixel, 24);
        EXPECT_EQ(info.compression, 0u);
        EXPECT_EQ(image.width, size);
        EXPECT_EQ(image.height, size);
        // A map is a picture, not a flat fill.
        ASSERT_NE(image.pixels, nullptr);
        const auto [lo, hi] =
            std::minmax_element(image.pixels, image.pixels + int64_t{image.stride} * image.height);
        EXPECT_GE(*hi - *lo, 60);
        ReleaseBmpImage(image);
    }
}

TEST_F(ShippedMaterialsTest, RenderMaterialsTakeTheirMapsAndTransparency) {
    CRenderContext ctx;
    ctx.shadingModeSwitch = EShading::kPerPixel;
    for (const json& m : Materials()) {
        const std::string name = m.at("name");
        SCOPED_TRACE(name);
        const CRenderMaterial& material = LoadRenderMaterial(ctx, name.c_str());
        EXPECT_FLOAT_EQ(material.baseColour.x, m.at("base")[0].get<float>() / 255.0f);
        EXPECT_FLOAT_EQ(material.baseColour.z, m.at("base")[2].get<float>() / 255.0f);
        const BmpImage* loaded[4] = {material.colourMap, material.bumpMap, material.reflectionMap,
                                     material.glossMap};
        for (int slot = 0; slot < 4; ++slot) {
            EXPECT_EQ(loaded[slot] != nullptr, !DescribedMap(m, kSlots[slot]).empty()) << slot;
        }
        if (IsMetal(name)) {
            EXPECT_NE(material.reflectionMap, nullptr);
            EXPECT_NE(material.glossMap, nullptr);
            EXPECT_EQ(material.transparency, 0.0f);
        } else if (kOpaqueStones.count(name) != 0) {
            EXPECT_EQ(material.transparency, 0.0f);
            EXPECT_NE(material.glossMap, nullptr);
        } else {
            EXPECT_GT(material.transparency, 0.0f);
            // A cut stone's highlight is its sparkle: bright, and only near the mirror direction.
            EXPECT_GE(material.highlightColour.x + material.highlightColour.y +
                          material.highlightColour.z,
                      2.7f);
            EXPECT_GT(material.highlightThreshold, 0.75f);
        }
    }
}

}  // namespace
}  // namespace orva
