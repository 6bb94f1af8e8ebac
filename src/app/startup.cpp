#include "app/startup.h"

#include <filesystem>
#include <system_error>

namespace orva {

namespace {

// "/" begins the framework's switches ("/p", "/dde") but also every absolute path here: an
// argument that goes on through a further folder, or names a file, is a path.
bool IsSwitch(const std::string& argument) {
    if (argument.empty()) {
        return false;
    }
    if (argument[0] == '-') {
        return true;
    }
    if (argument[0] != '/') {
        return false;
    }
    std::error_code error;
    return argument.find('/', 1) == std::string::npos && !std::filesystem::exists(argument, error);
}

}  // namespace

CStartupRequest ParseStartup(const std::vector<std::string>& arguments) {
    CStartupRequest request;
    for (const std::string& argument : arguments) {
        if (argument == "-l" || argument == "-L") {
            request.dataDirectory = kFlagDataDirectory;
        } else if (request.fileToOpen.empty() && !IsSwitch(argument)) {
            request.fileToOpen = argument;
        }
    }
    return request;
}

}  // namespace orva
