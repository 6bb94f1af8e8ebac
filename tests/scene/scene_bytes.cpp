#include "scene_bytes.h"

#include <unistd.h>

#include <filesystem>

#include "scene_writer.h"

namespace orva::test {

std::string WriteTempFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("orva-tests-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::string path = (folder / name).string();
    WriteFileBytes(path, bytes);
    return path;
}

json MatrixJson(const CMatrix4& m) {
    json values = json::array();
    for (float e : m.m) {
        values.push_back(e);
    }
    return values;
}

}  // namespace orva::test
