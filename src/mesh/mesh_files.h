#pragma once

#include <string>
#include <vector>

#include "mesh/triangle_mesh.h"

namespace orva {

// Binary STL: an 80-byte header naming the scene, the triangle count, and 50 bytes a
// triangle (facet normal, three corners, no attributes), every part in the one file. Written
// whole under a temporary name and renamed; false with `error` saying why.
bool WriteStl(const std::string& path, const std::string& sceneName,
              const std::vector<CMeshPart>& parts, std::string& error);

// 3MF: a zip holding [Content_Types].xml, _rels/.rels and 3D/3dmodel.model, in millimetres,
// one mesh object per part (named after it, with a base material of its colour), each a build
// item. Written whole under a temporary name and renamed; false with `error` saying why.
bool Write3mf(const std::string& path, const std::string& sceneName,
              const std::vector<CMeshPart>& parts, std::string& error);

}  // namespace orva
