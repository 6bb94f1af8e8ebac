#include "browser/browser_start.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

namespace orva {

namespace {

namespace fs = std::filesystem;

// True when `folder` is `root` or lies below it; both without a trailing slash.
bool IsWithin(const std::string& folder, const std::string& root) {
    if (folder == root || root == "/") {
        return true;
    }
    return folder.size() > root.size() && folder.starts_with(root) && folder[root.size()] == '/';
}

// "/opt/viewer/bin/../OrvData" as "/opt/viewer/OrvData", so the open file's folder, made the
// same way, can be found within it.
std::string Normal(const std::string& path) {
    return path.empty() ? path : WithoutTrailingSlash(fs::path(path).lexically_normal().string());
}

// The folder of the open file as an absolute path; the file itself need not exist any more. A
// relative name came from the command line and is taken from the working folder.
std::string FolderOf(const std::string& file) {
    std::error_code error;
    const fs::path absolute = fs::absolute(file, error);
    return error ? std::string() : absolute.lexically_normal().parent_path().string();
}

// `root` with the last folder selected when it lies within it, else `root` itself.
CBrowserStart WithinRoot(const std::string& root, const std::string& lastFolder) {
    const std::string last = WithoutTrailingSlash(lastFolder);
    return {root, !last.empty() && IsWithin(last, root) ? last : root};
}

}  // namespace

bool IsEnterableFolder(const std::string& path) {
    std::error_code error;
    return !path.empty() && fs::is_directory(path, error) && access(path.c_str(), X_OK) == 0;
}

std::string WithoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

CBrowserStart ChooseBrowserStart(const CBrowserPlaces& places) {
    const std::string data = Normal(places.dataDirectory);
    const bool dataUsable = IsEnterableFolder(data);
    if (!places.openFile.empty()) {
        const std::string folder = FolderOf(places.openFile);
        if (IsEnterableFolder(folder)) {
            return {dataUsable && IsWithin(folder, data) ? data : folder, folder};
        }
    }
    if (dataUsable) {
        return WithinRoot(data, places.lastFolder);
    }
    const std::string samples = Normal(places.samples);
    if (IsEnterableFolder(samples)) {
        return WithinRoot(samples, places.lastFolder);
    }
    return {};
}

}  // namespace orva
