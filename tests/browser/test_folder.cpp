#include "test_folder.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "image/bmp_image.h"
#include "image/picture_writer.h"
#include "scene/byte_writer.h"
#include "scene/scene_file.h"

namespace orva::test {

namespace fs = std::filesystem;

CTestFolder::CTestFolder(const std::string& tag) {
    m_path = (fs::temp_directory_path() / ("orva-browser-" + std::to_string(getpid()) + "-" + tag))
                 .string();
    fs::remove_all(m_path);
    fs::create_directories(m_path);
}

CTestFolder::~CTestFolder() {
    std::error_code error;
    fs::remove_all(m_path, error);
}

std::string CTestFolder::Path(const std::string& relative) const {
    return relative.empty() ? m_path : m_path + "/" + relative;
}

void CTestFolder::MakeFolder(const std::string& relative) const {
    fs::create_directories(Path(relative));
}

void CTestFolder::WriteScene(const std::string& relative) const {
    // The signature and the end mark, through the scene files' own writer.
    CMemorySink sink;
    CByteWriter out(sink);
    for (const char* c = kSceneSignature; *c != '\0'; ++c) {
        out.WriteByte(static_cast<uint8_t>(*c));
    }
    out.WriteByte('&');
    WriteBytes(relative, sink.data);
}

void CTestFolder::WriteBitmap(const std::string& relative, int width, int height,
                              const BitmapPainter& paint) const {
    const int64_t stride = BmpImageStride(width);
    std::vector<uint8_t> pixels(static_cast<size_t>(stride * height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const auto bgr = paint(x, y);
            std::copy(bgr.begin(), bgr.end(), pixels.begin() + y * stride + 3 * x);
        }
    }
    fs::create_directories(fs::path(Path(relative)).parent_path());
    if (!WriteBmpFile(Path(relative), CPictureView{width, height, stride, pixels.data()})) {
        throw std::runtime_error("cannot write " + Path(relative));
    }
}

void CTestFolder::WriteBytes(const std::string& relative, const std::vector<uint8_t>& bytes) const {
    fs::create_directories(fs::path(Path(relative)).parent_path());
    std::ofstream file(Path(relative), std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!file) {
        throw std::runtime_error("cannot write " + Path(relative));
    }
}

void CTestFolder::Link(const std::string& relative, const std::string& target) const {
    fs::create_directory_symlink(target, Path(relative));
}

void CTestFolder::Remove(const std::string& relative) const {
    fs::remove_all(Path(relative));
}

}  // namespace orva::test
