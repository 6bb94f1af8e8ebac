#pragma once

#include <string>

#include "scene/scene_file.h"

namespace orva {

// Every command that reads a scene says on stderr, in the same words, when the file ended (or
// a record was cut short) before its end mark: what follows comes only from the objects before.
void PrintEarlyEndNote(const std::string& scenePath, const CLoadReport& load);

}  // namespace orva
