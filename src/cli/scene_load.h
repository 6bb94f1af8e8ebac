#pragma once

#include <string>

#include "scene/scene_file.h"

namespace orva {

// Loads a scene file for a command and says on stderr, in one line naming the file, what went
// wrong: the system's reason when the file cannot be opened or read, else the loader's own
// message ("Invalid file format!"), so a folder of files shows which one failed. True when
// the scene was read.
bool LoadCommandScene(CSceneAnchor& scene, const std::string& path, CLoadReport& load);

}  // namespace orva
