#pragma once

#include <string>

#include "scene/scene_file.h"

namespace orva {

// Loads a scene file for a command and says on stderr, in one line naming the file, what went
// wrong: the system's reason when the file cannot be opened or read, else the loader's own
// message ("Invalid file format!"), so a folder of files shows which one failed. True when
// the scene was read.
bool LoadCommandScene(CSceneAnchor& scene, const std::string& path, CLoadReport& load);

// Points the gem library and the material folder at a command's own, where given; empty
// leaves those beside the program.
void UseCommandData(const std::string& gemLibraryPath, const std::string& materialDirectory);

// Loads the scene of a picture command as LoadCommandScene does, and notes on stderr where a
// file ended early. 0 when it was read, else the exit status: 130 when Ctrl+C came meanwhile,
// 1 when it could not be read.
int LoadPictureScene(CSceneAnchor& scene, const std::string& path);

}  // namespace orva
