#pragma once

#include <string>

namespace orva {

// Where the map named `mapName` (".bmp" added unless it has an extension) is found: the
// material folder's "TxtrMap" folder, then the material folder, then the current folder. Names
// come from material files made on a system that separates folders with "\" and ignores case,
// so each candidate is resolved that way. Empty when the map is in none of them.
std::string FindTextureMapPath(const std::string& mapName);

}  // namespace orva
