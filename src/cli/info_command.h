#pragma once

#include <string>

namespace orva {

struct CInfoOptions {
    std::string scenePath;
    std::string gemLibraryPath;  // empty: the library beside the program
    bool json = false;
};

// Reads the scene and prints its report. Exit status: 0 read, 1 invalid or unreadable.
int RunInfoCommand(const CInfoOptions& options);

}  // namespace orva
