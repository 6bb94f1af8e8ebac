#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace orva {

class CByteReader;

// What a material file holds. Colours are 0..255, percentages 0..100 (clamped by the user).
struct CMaterialRecord {
    // Ambient, base and highlight colour, each red, green, blue.
    std::array<int32_t, 9> colours{};
    int32_t shininess = 0;     // percentage A
    int32_t transparency = 0;  // percentage B
    // Colour, bump, reflection and gloss map, at most 255 characters each; empty names none.
    std::array<std::string, 4> textureNames;
};

inline constexpr size_t kMaxTextureNameLength = 255;

// The name as it is when a "." occurs among its last four characters (among all of them when
// it is shorter), otherwise the name with "." and the extension appended.
std::string FileNameWithExtension(const std::string& name, const char* extension);
inline std::string MaterialFileName(const std::string& name) {
    return FileNameWithExtension(name, "mtl");
}

// The folder of the material files: "material" of the program data (beside the program, or
// where it was installed: GetProgramDataDirectory), or the folder chosen with
// SetMaterialDirectory (absolute folders are used as they are, relative ones are taken in the
// program data). No trailing "/". A process-wide setting, because the programs and tests choose
// it once for every render; guarded, so any thread may read it.
std::string MaterialDirectory();
void SetMaterialDirectory(const std::string& directory);

// Reads a material file (plain mode) into `record`: 1 on success; -1 when the signature does
// not match or the file ends before its fourth texture name, and then `record` keeps what it
// held. A texture name longer than 255 characters keeps its first 255 and the rest is
// skipped, so the names after it are read from their own place.
int ReadMaterialFile(CByteReader& in, CMaterialRecord& record);

// Finds the material file of `name` in the material folder, then in the current folder (names
// may use "\" and differ in case from the file), and reads it. True when one was read.
bool LoadMaterialRecord(const std::string& name, CMaterialRecord& record);

}  // namespace orva
