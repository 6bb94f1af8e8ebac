#pragma once

#include <string>

namespace orva {

// The folder of the running program, ending in "/". Filled on first use from
// /proc/self/exe; later calls return the same text.
const std::string& GetModuleDirectory();

// Where the data shipped with the programs ("gemlib", "material/", "samples/") lives, ending
// in "/": beside the program when it is there (a build tree or a copied folder), otherwise
// in ../share/orvaview/ of the program folder, where an installation puts it.
const std::string& GetProgramDataDirectory();

}  // namespace orva
