#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <nlohmann/json.hpp>

#include "image/bmp_bytes.h"
#include "image/bmp_reader.h"
#include "json_scene.h"
#include "material_set.h"
#include "scene/byte_reader.h"
#include "scene/material_file.h"

namespace orva {
namespace {

using nlohmann::json;

json Description() {
    return json::parse(R"({
        "format": "materials",
        "maps": {
            "Room": {"size": 32, "gradient": [{"elevation": -90, "colour": [10, 20, 30]},
                                               {"elevation": 90, "colour": [200, 210, 220]}],
                     "softboxes": [{"azimuth": 0, "elevation": 40, "colour": [300, 300, 300]}],
                     "scatter": {"count": 5, "seed": 3, "size": 6}},
            "WarmRoom": {"like": "Room", "tint": [255, 200, 150], "scatter": {"count": 9}},
            "Shine": {"size": 16, "slot": "gloss"}
        },
        "materials": [
            {"name": "Brass", "ambient": [1, 2, 3], "base": [4, 5, 6], "highlight": [7, 8, 9],
             "shininess": 70, "transparency": 0,
             "maps": {"reflection": "WarmRoom", "gloss": "Shine"}},
            {"name": "Glass", "transparency": 80}
        ]
    })");
}

const CProceduralMap& MapNamed(const CMaterialSet& set, const std::string& name) {
    for (const CProceduralMap& map : set.maps) {
        if (map.name == name) {
            return map;
        }
    }
    throw std::runtime_error("no map " + name);
}

TEST(MaterialSetTest, ReadsMaterialsAndMapsWithTheirSlotsAndFileNames) {
    const CMaterialSet set = MaterialSetFromJson(Description());
    ASSERT_EQ(set.materials.size(), 2u);
    const CNamedMaterial& brass = set.materials[0];
    EXPECT_EQ(brass.name, "Brass");
    EXPECT_EQ(brass.description.ambient, (std::array<int32_t, 3>{1, 2, 3}));
    EXPECT_EQ(brass.description.base, (std::array<int32_t, 3>{4, 5, 6}));
    EXPECT_EQ(brass.description.highlight, (std::array<int32_t, 3>{7, 8, 9}));
    EXPECT_EQ(brass.description.shininess, 70);
    EXPECT_EQ(brass.description.maps,
              (std::array<std::string, 4>{"", "", "WarmRoom.bmp", "Shine.bmp"}));
    // Fields left out keep the single material file's defaults.
    const CMaterialDescription defaults;
    EXPECT_EQ(set.materials[1].description.base, defaults.base);
    EXPECT_EQ(set.materials[1].description.transparency, 80);
    EXPECT_EQ(set.materials[1].description.maps, (std::array<std::string, 4>{}));

    ASSERT_EQ(set.maps.size(), 3u);
    EXPECT_EQ(MapNamed(set, "Shine").slot, CMapSlot::kGloss);
    EXPECT_EQ(MapNamed(set, "Room").slot, CMapSlot::kReflection);
    EXPECT_EQ(MapNamed(set, "Room").studio.softboxes.size(), 1u + 5u);
}

TEST(MaterialSetTest, LikeStartsFromAnotherMapAndReplacesOnlyWhatItNames) {
    const CMaterialSet set = MaterialSetFromJson(Description());
    const CProceduralMap& room = MapNamed(set, "Room");
    const CProceduralMap& warm = MapNamed(set, "WarmRoom");
    EXPECT_EQ(warm.size, 32);
    EXPECT_EQ(warm.studio.gradient.size(), 2u);
    EXPECT_EQ(warm.studio.gradient[1].colour.z, 220.0f);
    EXPECT_EQ(warm.tint.y, 200.0f);
    EXPECT_EQ(room.tint.y, 255.0f);
    // The scatter keeps its seed and size but has the new count.
    ASSERT_EQ(warm.studio.softboxes.size(), 1u + 9u);
    EXPECT_EQ(warm.studio.softboxes[1].azimuth, room.studio.softboxes[1].azimuth);
    EXPECT_EQ(warm.studio.softboxes[9].width, 6.0f);
}

void ExpectRejected(const json& description, const std::string& wordInMessage) {
    try {
        MaterialSetFromJson(description);
        ADD_FAILURE() << "accepted: " << description.dump();
    } catch (const CDescriptionError& error) {
        EXPECT_NE(std::string(error.what()).find(wordInMessage), std::string::npos) << error.what();
    }
}

TEST(MaterialSetTest, RejectsWhatWouldMakeAWrongOrUnreadableSet) {
    json d = Description();
    d["materials"][0]["maps"]["reflection"] = "Nowhere";
    ExpectRejected(d, "Nowhere");
    d = Description();
    d["materials"][0]["maps"]["sheen"] = "Shine";
    ExpectRejected(d, "sheen");
    d = Description();
    d["materials"][0]["base"] = {4, 256, 6};
    ExpectRejected(d, "base");
    d = Description();
    d["materials"][1]["transparency"] = 101;
    ExpectRejected(d, "transparency");
    d = Description();
    d["materials"][1]["shininess"] = -1;
    ExpectRejected(d, "shininess");
    d = Description();
    d["materials"][1]["name"] = "brass";  // found ignoring case, so the same file
    ExpectRejected(d, "twice");
    d = Description();
    d["materials"][1]["name"] = "sub/Glass";
    ExpectRejected(d, "file name");
    d = Description();
    d["materials"][1]["name"] = "Glass.abc";  // the viewer would not add ".mtl"
    ExpectRejected(d, "extension");
    d = Description();
    d["materials"][1]["colour"] = {1, 2, 3};
    ExpectRejected(d, "colour");
    d = Description();
    d["maps"]["Room"]["like"] = "WarmRoom";
    ExpectRejected(d, "circle");
    d = Description();
    d["maps"]["Shine"]["slot"] = "bump";
    ExpectRejected(d, "slot");
    d = Description();
    d["maps"]["Shine"]["softboxes"] = {{{"azimut", 10}}};
    ExpectRejected(d, "azimut");
    d = Description();
    d["maps"]["Shine"]["size"] = 0;
    ExpectRejected(d, "size");
    d = Description();
    d["maps"]["Shine"]["gradient"] = {{{"elevation", 10}}, {{"elevation", -10}}};
    ExpectRejected(d, "rise");
    d = Description();
    d["maps"]["Shine"]["tint"] = {255, -1, 0};
    ExpectRejected(d, "tint");
}

std::vector<uint8_t> FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(MaterialSetTest, WritesEveryMaterialAndMapIntoTheFolder) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("orva-set-" + std::to_string(getpid()));
    std::filesystem::remove_all(folder);
    ASSERT_TRUE(WriteMaterialSet(MaterialSetFromJson(Description()), (folder / "m").string()));

    const std::vector<uint8_t> bytes = FileBytes(folder / "m" / "Brass.mtl");
    CByteReader in(bytes);
    CMaterialRecord record;
    ASSERT_EQ(ReadMaterialFile(in, record), 1);
    EXPECT_EQ(record.colours, (std::array<int32_t, 9>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(record.textureNames[2], "WarmRoom.bmp");
    EXPECT_TRUE(std::filesystem::is_regular_file(folder / "m" / "Glass.mtl"));

    for (const auto& [name, size] : {std::pair{"Room", 32}, {"WarmRoom", 32}, {"Shine", 16}}) {
        test::ScopedBmpImage map;
        CBmpReadInfo info;
        ASSERT_EQ(ReadBmpFile((folder / "m" / "TxtrMap" / (std::string(name) + ".bmp")).string(),
                              map.image, &info),
                  1)
            << name;
        EXPECT_EQ(info.bitsPerPixel, 24);
        EXPECT_EQ(map.image.width, size);
        EXPECT_EQ(map.image.height, size);
    }
    // A folder that cannot be made is reported.
    EXPECT_FALSE(WriteMaterialSet(MaterialSetFromJson(Description()),
                                  (folder / "m" / "Brass.mtl" / "inside").string()));
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace orva
