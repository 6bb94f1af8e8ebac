#include "render/shading/texture_lookup.h"

#include "platform/file_lookup.h"
#include "scene/material_file.h"

namespace orva {

std::string FindTextureMapPath(const std::string& mapName) {
    const std::string fileName = FileNameWithExtension(mapName, "bmp");
    const std::string directory = MaterialDirectory();
    for (const std::string& candidate :
         {directory + "/TxtrMap/" + fileName, directory + "/" + fileName, fileName}) {
        std::string path = FindFileIgnoringCase(candidate);
        if (!path.empty()) {
            return path;
        }
    }
    return {};
}

}  // namespace orva
