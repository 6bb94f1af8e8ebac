#include "app/startup.h"

#include <filesystem>
#include <system_error>

namespace orva {

namespace {

std::string RawCommandLine(const std::vector<std::string>& arguments) {
    std::string line;
    for (const std::string& argument : arguments) {
        if (!line.empty()) {
            line += ' ';
        }
        line += argument;
    }
    return line;
}

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
    const std::string line = RawCommandLine(arguments);
    if (line.find("-l") != std::string::npos || line.find("-L") != std::string::npos) {
        request.dataDirectory = kFlagDataDirectory;
    }
    for (const std::string& argument : arguments) {
        if (!IsSwitch(argument)) {
            request.fileToOpen = argument;
            break;
        }
    }
    return request;
}

}  // namespace orva
