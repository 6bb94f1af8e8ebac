#include "app/startup.h"

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

bool IsSwitch(const std::string& argument) {
    return !argument.empty() && (argument[0] == '/' || argument[0] == '-');
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
