#pragma once

#include <string>

namespace orva {

// The folder of the running program, ending in "/". Filled on first use from
// /proc/self/exe; later calls return the same text.
const std::string& GetModuleDirectory();

}  // namespace orva
