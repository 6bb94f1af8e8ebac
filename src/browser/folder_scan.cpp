#include "browser/folder_scan.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "browser/scene_folder.h"

namespace orva {

namespace {

namespace fs = std::filesystem;

// A folder's identity whatever path reached it: links and ".." give many names to one folder.
struct CFolderId {
    dev_t device;
    ino_t inode;
    bool operator==(const CFolderId&) const = default;
};

bool IdentifyFolder(const std::string& path, CFolderId& id) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        return false;
    }
    id = {info.st_dev, info.st_ino};
    return true;
}

bool NodeLess(const CFolderNode& a, const CFolderNode& b) {
    if (LessIgnoringCase(a.name, b.name)) {
        return true;
    }
    return !LessIgnoringCase(b.name, a.name) && a.name < b.name;
}

// `enclosing` holds the folders from the root down to `folder`. Only a folder already on that
// chain can start a loop; the same folder reached twice through side links is listed twice,
// as the user sees two folders.
std::vector<CFolderNode> ScanLevel(const std::string& folder, std::vector<CFolderId>& enclosing) {
    std::vector<CFolderNode> level;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        const std::string path = JoinPath(folder, name);
        CFolderId id{};
        if (!IdentifyFolder(path, id)) {
            continue;
        }
        CFolderNode node{name, {}};
        if (std::find(enclosing.begin(), enclosing.end(), id) == enclosing.end()) {
            enclosing.push_back(id);
            node.children = ScanLevel(path, enclosing);
            enclosing.pop_back();
        }
        level.push_back(std::move(node));
    }
    std::sort(level.begin(), level.end(), NodeLess);
    return level;
}

}  // namespace

std::vector<CFolderNode> ScanFolderTree(const std::string& root) {
    std::vector<CFolderId> enclosing;
    CFolderId rootId{};
    if (!IdentifyFolder(root, rootId)) {
        return {};
    }
    enclosing.push_back(rootId);
    return ScanLevel(root, enclosing);
}

}  // namespace orva
