#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace orva {

class CSceneObject;

// Scene file bytes: the signature, ":" + type id + record for every object of the chain,
// then "&". Scrambled, as the viewer reads them.
std::vector<uint8_t> WriteSceneBytes(const CSceneObject* first);
// Gem library bytes: the signature, ":" + type id + record per shape, then "#". Plain.
std::vector<uint8_t> WriteGemLibraryBytes(const CSceneObject* first);

// The contents of a material file.
struct CMaterialDescription {
    std::array<int32_t, 3> ambient{128, 128, 128};
    std::array<int32_t, 3> base{128, 128, 128};
    std::array<int32_t, 3> highlight{255, 255, 255};
    int32_t shininess = 50;           // percent
    int32_t transparency = 0;         // percent
    std::array<std::string, 4> maps;  // colour, bump, reflection, gloss; empty names none
};
// Material file bytes, plain.
std::vector<uint8_t> WriteMaterialBytes(const CMaterialDescription& material);

// Writes bytes to a file; false when it cannot be written.
bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace orva
