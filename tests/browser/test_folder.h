#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orva::test {

// Blue, green, red of the pixel at column x of row y, counted from the top of the picture.
using BitmapPainter = std::function<std::array<uint8_t, 3>(int x, int y)>;

// A folder of its own under the temporary directory, removed with everything in it (links are
// removed, not followed) when the object goes. Paths are relative to it.
class CTestFolder {
public:
    explicit CTestFolder(const std::string& tag);
    ~CTestFolder();
    CTestFolder(const CTestFolder&) = delete;
    CTestFolder& operator=(const CTestFolder&) = delete;

    // The full path of `relative`; the folder itself for an empty one.
    std::string Path(const std::string& relative = {}) const;

    void MakeFolder(const std::string& relative) const;
    // A whole scene file without objects.
    void WriteScene(const std::string& relative) const;
    // A 24-bit bottom-up bitmap written by the program's own picture writer.
    void WriteBitmap(const std::string& relative, int width, int height,
                     const BitmapPainter& paint) const;
    void WriteBytes(const std::string& relative, const std::vector<uint8_t>& bytes) const;
    void Link(const std::string& relative, const std::string& target) const;
    void Remove(const std::string& relative) const;

private:
    std::string m_path;
};

}  // namespace orva::test
