#include "scene/material_file.h"

#include <cstdio>
#include <memory>
#include <mutex>

#include "platform/file_handle.h"
#include "platform/file_lookup.h"
#include "platform/module_directory.h"
#include "scene/byte_reader.h"

namespace orva {

namespace {

constexpr char kMaterialSignature[] = "BRONTALEMATL0100";

std::mutex g_directoryMutex;
std::string g_materialDirectory = "material";

bool ReadTextureName(CByteReader& in, std::string& name) {
    const int32_t length = in.ReadInt32();
    name.clear();
    if (length <= 0 || in.Failed()) {
        return !in.Failed();
    }
    if (!in.CanHold(length, 1, 1, "texture name longer than the rest of the file")) {
        return false;
    }
    for (int32_t i = 0; i < length; ++i) {
        const char c = static_cast<char>(in.ReadByte());
        if (static_cast<size_t>(i) < kMaxTextureNameLength) {
            name += c;
        }
    }
    return !in.Failed();
}

}  // namespace

std::string FileNameWithExtension(const std::string& name, const char* extension) {
    const size_t tail = name.size() < 4 ? 0 : name.size() - 4;
    if (name.find('.', tail) != std::string::npos) {
        return name;
    }
    return name + "." + extension;
}

std::string MaterialDirectory() {
    std::lock_guard<std::mutex> lock(g_directoryMutex);
    const std::string directory = WithSlashes(g_materialDirectory);
    if (!directory.empty() && directory[0] == '/') {
        return directory;
    }
    return GetProgramDataDirectory() + directory;
}

void SetMaterialDirectory(const std::string& directory) {
    std::lock_guard<std::mutex> lock(g_directoryMutex);
    g_materialDirectory = directory;
    while (g_materialDirectory.size() > 1 && g_materialDirectory.back() == '/') {
        g_materialDirectory.pop_back();
    }
}

int ReadMaterialFile(CByteReader& in, CMaterialRecord& record) {
    const bool wasScrambled = in.ScrambledReading();
    in.SetScrambledReading(false);
    CMaterialRecord read;
    bool complete = true;
    for (int i = 0; i < 16 && complete; ++i) {
        complete = in.ReadByte() == static_cast<uint8_t>(kMaterialSignature[i]) && !in.Failed();
    }
    if (!complete) {
        in.SetScrambledReading(wasScrambled);
        return -1;
    }
    for (int32_t& colour : read.colours) {
        colour = in.ReadInt32();
    }
    read.shininess = in.ReadInt32();
    read.transparency = in.ReadInt32();
    for (std::string& name : read.textureNames) {
        complete = complete && ReadTextureName(in, name);
    }
    in.SetScrambledReading(wasScrambled);
    if (!complete || in.Failed()) {
        return -1;
    }
    record = std::move(read);
    return 1;
}

bool LoadMaterialRecord(const std::string& name, CMaterialRecord& record) {
    const std::string fileName = MaterialFileName(name);
    std::string path = FindFileIgnoringCase(MaterialDirectory() + "/" + fileName);
    if (path.empty()) {
        path = FindFileIgnoringCase(fileName);
    }
    if (path.empty()) {
        return false;
    }
    CFileHandle file = OpenFile(path, "rb");
    if (!file) {
        return false;
    }
    CByteReader in(file.get());
    return ReadMaterialFile(in, record) == 1;
}

}  // namespace orva
