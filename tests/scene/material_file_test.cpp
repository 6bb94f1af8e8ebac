#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "platform/file_lookup.h"
#include "scene/material_file.h"
#include "scene_bytes.h"

namespace orva {
namespace {

using test::json;

std::vector<uint8_t> MaterialBytes(const json& d) {
    json description = d;
    description["format"] = "material";
    return FileBytesFromJson(description);
}

const json kGold = {
    {"ambient", {10, 20, 30}}, {"base", {200, 150, 40}}, {"highlight", {255, 250, 240}},
    {"shininess", 80},         {"transparency", 5},      {"reflectionMap", "TxtrMap\\Studio"}};

TEST(MaterialFileNameTest, KeepsAnExtensionAmongTheLastFourCharacters) {
    EXPECT_EQ(MaterialFileName("Gold18K"), "Gold18K.mtl");
    EXPECT_EQ(MaterialFileName("Gold.abc"), "Gold.abc");
    EXPECT_EQ(MaterialFileName("Gold.a"), "Gold.a");
    EXPECT_EQ(MaterialFileName("Gold."), "Gold.");
    EXPECT_EQ(MaterialFileName("Gold.abcd"), "Gold.abcd.mtl");
    EXPECT_EQ(MaterialFileName(".ab"), ".ab");  // shorter than four: any dot counts
    EXPECT_EQ(FileNameWithExtension("Studio", "bmp"), "Studio.bmp");
}

TEST(ReadMaterialFileTest, ReadsColoursPercentagesAndNames) {
    const std::vector<uint8_t> bytes = MaterialBytes(kGold);
    CByteReader in(bytes);
    CMaterialRecord record;
    ASSERT_EQ(ReadMaterialFile(in, record), 1);
    EXPECT_EQ(record.colours, (std::array<int32_t, 9>{10, 20, 30, 200, 150, 40, 255, 250, 240}));
    EXPECT_EQ(record.shininess, 80);
    EXPECT_EQ(record.transparency, 5);
    EXPECT_EQ(record.textureNames[0], "");
    EXPECT_EQ(record.textureNames[2], "TxtrMap\\Studio");
    EXPECT_TRUE(in.ScrambledReading());  // the caller's mode is back
    // An empty name takes only its four length bytes: nothing is left after the fourth name.
    EXPECT_EQ(in.RemainingBytes(), 0);
}

TEST(ReadMaterialFileTest, WrongSignatureOrShortFileKeepsTheRecord) {
    CMaterialRecord record;
    record.shininess = 33;
    std::vector<uint8_t> bytes = MaterialBytes(kGold);
    bytes[4] = 'X';
    CByteReader wrong(bytes);
    EXPECT_EQ(ReadMaterialFile(wrong, record), -1);
    EXPECT_EQ(wrong.Offset(), 5);  // stopped at the first wrong character
    EXPECT_TRUE(wrong.ScrambledReading());

    const std::vector<uint8_t> good = MaterialBytes(kGold);
    for (size_t cut : {size_t{20}, size_t{60}, good.size() - 3}) {
        CByteReader shortFile(std::span<const uint8_t>(good.data(), cut));
        EXPECT_EQ(ReadMaterialFile(shortFile, record), -1) << cut;
        EXPECT_EQ(record.shininess, 33);
    }
}

TEST(ReadMaterialFileTest, OverlongNameKeeps255CharactersAndTheNextNameStaysInPlace) {
    const std::string longName(300, 'a');
    const std::vector<uint8_t> bytes =
        MaterialBytes({{"colourMap", longName}, {"bumpMap", "Hammered"}});
    CByteReader in(bytes);
    CMaterialRecord record;
    ASSERT_EQ(ReadMaterialFile(in, record), 1);
    EXPECT_EQ(record.textureNames[0], std::string(255, 'a'));
    EXPECT_EQ(record.textureNames[1], "Hammered");
}

TEST(ReadMaterialFileTest, NameLengthBeyondTheFileIsRejected) {
    std::vector<uint8_t> bytes = MaterialBytes({{"colourMap", "ab"}});
    const size_t lengthAt = 16 + 11 * 4;
    bytes[lengthAt + 3] = 0x40;  // about a billion characters
    CByteReader in(bytes);
    CMaterialRecord record;
    EXPECT_EQ(ReadMaterialFile(in, record), -1);
}

// Runs a test in a folder of its own as the current directory, with a material folder inside.
class MaterialLookupTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_root = std::filesystem::temp_directory_path() /
                 ("orva-materials-" + std::to_string(getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_root / "material" / "TxtrMap");
        m_previousDirectory = std::filesystem::current_path();
        std::filesystem::current_path(m_root);
        SetMaterialDirectory((m_root / "material").string());
    }
    void TearDown() override {
        std::filesystem::current_path(m_previousDirectory);
        SetMaterialDirectory("material");
        std::filesystem::remove_all(m_root);
    }
    void Write(const std::string& relative, const std::vector<uint8_t>& bytes) {
        std::FILE* f = std::fopen((m_root / relative).string().c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    std::filesystem::path m_root;

private:
    std::filesystem::path m_previousDirectory;
};

TEST_F(MaterialLookupTest, MaterialFolderFirstThenTheCurrentFolder) {
    Write("material/Gold.mtl", MaterialBytes({{"shininess", 1}}));
    Write("Gold.mtl", MaterialBytes({{"shininess", 2}}));
    Write("Silver.mtl", MaterialBytes({{"shininess", 3}}));
    CMaterialRecord record;
    ASSERT_TRUE(LoadMaterialRecord("Gold", record));
    EXPECT_EQ(record.shininess, 1);
    ASSERT_TRUE(LoadMaterialRecord("Silver", record));
    EXPECT_EQ(record.shininess, 3);
    EXPECT_FALSE(LoadMaterialRecord("Platinum", record));
    EXPECT_EQ(record.shininess, 3);
}

TEST_F(MaterialLookupTest, NamesWithBackslashesAndOtherCaseAreFound) {
    std::filesystem::create_directories(m_root / "material" / "Metals");
    Write("material/Metals/WhiteGold.MTL", MaterialBytes({{"shininess", 7}}));
    CMaterialRecord record;
    ASSERT_TRUE(LoadMaterialRecord("metals\\whitegold.mtl", record));
    EXPECT_EQ(record.shininess, 7);
    EXPECT_EQ(FindFileIgnoringCase((m_root / "MATERIAL\\metals\\WHITEGOLD.mtl").string()),
              (m_root / "material/Metals/WhiteGold.MTL").string());
    EXPECT_EQ(FindFileIgnoringCase((m_root / "material").string()), "");  // folders are not files
}

TEST_F(MaterialLookupTest, RelativeMaterialFolderIsTakenBesideTheProgram) {
    SetMaterialDirectory("mats/");
    EXPECT_EQ(MaterialDirectory().substr(MaterialDirectory().size() - 5), "/mats");
    EXPECT_EQ(MaterialDirectory().front(), '/');
}

}  // namespace
}  // namespace orva
