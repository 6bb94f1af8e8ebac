#pragma once

#include <string>
#include <vector>

namespace orva {

struct CInfoOptions {
    std::vector<std::string> scenePaths;  // one or more, reported one after another
    std::string gemLibraryPath;           // empty: the library beside the program
    bool json = false;
};

// Reads each scene and prints its report. Exit status: 0 read, 1 invalid or unreadable (of
// several scenes: any of them).
int RunInfoCommand(const CInfoOptions& options);

}  // namespace orva
