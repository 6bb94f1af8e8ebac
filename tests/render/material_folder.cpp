#include "material_folder.h"

#include <unistd.h>

#include "image/bmp_bytes.h"
#include "image/bmp_reader.h"
#include "scene/material_file.h"

namespace orva::test {

std::vector<uint8_t> BmpFileBytes(int width, int height, const std::vector<Rgb>& pixels) {
    std::vector<std::vector<uint8_t>> rows(static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgb& p = pixels.at(static_cast<size_t>(y * width + x));
            rows[y].insert(rows[y].end(), {p.b, p.g, p.r});
        }
    }
    BmpFileLayout layout;
    layout.width = width;
    layout.height = height;
    layout.rows = PaddedRows(rows, SourceStride(width, 24));
    return MakeBmpBytes(layout);
}

void MakeImage(BmpImage& image, int width, int height, const std::vector<Rgb>& pixels) {
    const std::vector<uint8_t> bytes = BmpFileBytes(width, height, pixels);
    ASSERT_EQ(ReadBmpMemory(bytes, image), 1);
}

void MaterialFolderTest::SetUp() {
    m_root = std::filesystem::temp_directory_path() /
             ("orva-render-" + std::to_string(getpid()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(m_root);
    std::filesystem::create_directories(m_root / "material" / "TxtrMap");
    m_previousDirectory = std::filesystem::current_path();
    std::filesystem::current_path(m_root);
    SetMaterialDirectory((m_root / "material").string());
}

void MaterialFolderTest::TearDown() {
    std::filesystem::current_path(m_previousDirectory);
    SetMaterialDirectory("material");
    std::filesystem::remove_all(m_root);
}

void MaterialFolderTest::WriteMaterial(const std::string& relative,
                                       const CMaterialDescription& description) {
    ASSERT_TRUE(WriteFileBytes((m_root / relative).string(), WriteMaterialBytes(description)));
}

void MaterialFolderTest::WriteBmp(const std::string& relative, int width, int height,
                                  const std::vector<Rgb>& pixels) {
    ASSERT_TRUE(WriteFileBytes((m_root / relative).string(), BmpFileBytes(width, height, pixels)));
}

void MaterialFolderTest::Remove(const std::string& relative) {
    ASSERT_TRUE(std::filesystem::remove(m_root / relative));
}

}  // namespace orva::test
