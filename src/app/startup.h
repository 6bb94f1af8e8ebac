#pragma once

#include <string>
#include <vector>

namespace orva {

// The data directory the "-l" flag asks for, relative to the program folder.
inline constexpr char kFlagDataDirectory[] = "../OrvData";

// What the command line asks for at start-up.
struct CStartupRequest {
    // kFlagDataDirectory when an argument is "-l" or "-L" as a whole (a path through a folder
    // named my-library is only a path); empty otherwise.
    std::string dataDirectory;
    // The first argument that is not a switch ("-" first, or "/" first without a further "/"
    // unless a file has that name); empty: a new, untitled document.
    std::string fileToOpen;
};

// `arguments` are the program's arguments after its own name.
CStartupRequest ParseStartup(const std::vector<std::string>& arguments);

}  // namespace orva
