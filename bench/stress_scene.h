#pragma once

#include <string>

#include "scene/scene_file.h"

namespace orva::bench {

inline constexpr int kTrayColumns = 14;
inline constexpr int kTrayRows = 9;

// A jewellery tray: rows of rings, each a capped band (surface), a head (polygon mesh), a
// gem in a seat cut by a cutter, grouped; some bands are unions and intersections. A few
// hundred objects and about a hundred thousand triangles at the default detail. More columns
// or rows lay more rings at the same spacing: 70 x 18 is the tray ten times over.
void BuildStressScene(CSceneAnchor& scene, int columns = kTrayColumns, int rows = kTrayRows);

// Writes what the scene refers to into `folder`: "gemlib" (a faceted gem) and
// "material/*.mtl" with a reflection map in "material/TxtrMap", and points the process's
// gem library and material folder there. Returns false when the folder cannot be written.
bool WriteStressData(const std::string& folder);

}  // namespace orva::bench
