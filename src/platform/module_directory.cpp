#include "platform/module_directory.h"

#include <unistd.h>

#include <climits>

namespace orva {

namespace {

std::string ReadModuleDirectory() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (length <= 0) {
        return "./";
    }
    std::string text(path, static_cast<size_t>(length));
    const size_t slash = text.rfind('/');
    return slash == std::string::npos ? std::string("./") : text.substr(0, slash + 1);
}

std::string FindProgramDataDirectory() {
    const std::string& beside = GetModuleDirectory();
    for (const char* marker : {"gemlib", "material"}) {
        if (access((beside + marker).c_str(), F_OK) == 0) {
            return beside;
        }
    }
    const std::string installed = beside + "../share/orvaview/";
    return access(installed.c_str(), F_OK) == 0 ? installed : beside;
}

}  // namespace

const std::string& GetProgramDataDirectory() {
    static const std::string directory = FindProgramDataDirectory();
    return directory;
}

const std::string& GetModuleDirectory() {
    static const std::string directory = ReadModuleDirectory();
    return directory;
}

}  // namespace orva
