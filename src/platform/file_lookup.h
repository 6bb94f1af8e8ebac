#pragma once

#include <string>

namespace orva {

// Names read from files were made on a system that separates folders with "\" and ignores
// case. Turns the separators into "/" and, when the exact path does not exist, looks for each
// missing component case-insensitively in its folder. Returns the path of the existing
// regular file, or an empty string when there is none.
std::string FindFileIgnoringCase(const std::string& path);

// The same path with every "\" turned into "/".
std::string WithSlashes(std::string path);

}  // namespace orva
