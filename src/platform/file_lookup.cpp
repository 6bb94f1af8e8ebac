#include "platform/file_lookup.h"

#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace orva {

namespace {

bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The entry of `folder` whose name equals `name` ignoring case; the exact name when it exists.
std::string MatchInFolder(const std::string& folder, const std::string& name) {
    std::error_code error;
    const std::filesystem::path base =
        folder.empty() ? std::filesystem::path(".") : std::filesystem::path(folder);
    if (std::filesystem::exists(base / name, error)) {
        return name;
    }
    for (const auto& entry : std::filesystem::directory_iterator(base, error)) {
        const std::string candidate = entry.path().filename().string();
        if (strcasecmp(candidate.c_str(), name.c_str()) == 0) {
            return candidate;
        }
    }
    return {};
}

}  // namespace

std::string WithSlashes(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

std::string FindFileIgnoringCase(const std::string& path) {
    const std::string exact = WithSlashes(path);
    if (exact.empty() || IsRegularFile(exact)) {
        return exact.empty() ? std::string() : exact;
    }
    // Walk the components, resolving each in the folder found so far.
    std::string resolved = exact[0] == '/' ? "/" : "";
    size_t start = exact[0] == '/' ? 1 : 0;
    while (start <= exact.size()) {
        const size_t slash = exact.find('/', start);
        const std::string component =
            exact.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        if (!component.empty()) {
            const std::string match = MatchInFolder(resolved, component);
            if (match.empty()) {
                return {};
            }
            resolved += match;
            if (slash != std::string::npos) {
                resolved += '/';
            }
        }
        if (slash == std::string::npos) {
            break;
        }
        start = slash + 1;
    }
    return IsRegularFile(resolved) ? resolved : std::string();
}

}  // namespace orva
