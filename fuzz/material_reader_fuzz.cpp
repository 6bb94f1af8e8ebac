// Feeds arbitrary bytes to the material file reader.
#include <cstddef>
#include <cstdint>

#include "scene/byte_reader.h"
#include "scene/material_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    orva::CByteReader in({data, size});
    orva::CMaterialRecord record;
    if (orva::ReadMaterialFile(in, record) == 1) {
        for (const std::string& name : record.textureNames) {
            if (name.size() > orva::kMaxTextureNameLength) {
                __builtin_trap();
            }
        }
    }
    return 0;
}
