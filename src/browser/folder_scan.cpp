#include "browser/folder_scan.h"

#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <system_error>

#include "browser/scene_folder.h"

namespace orva {

namespace {

namespace fs = std::filesystem;

constexpr std::array<unsigned long, 10> kPseudoFileSystems = {
    PROC_SUPER_MAGIC, SYSFS_MAGIC,      DEVPTS_SUPER_MAGIC, CGROUP_SUPER_MAGIC, CGROUP2_SUPER_MAGIC,
    DEBUGFS_MAGIC,    SECURITYFS_MAGIC, PSTOREFS_MAGIC,     BPF_FS_MAGIC,       TRACEFS_MAGIC};

// devtmpfs reports itself as an ordinary tmpfs, so the device folder is known by its path.
// Other tmpfs folders (/run, where removable drives are mounted) may hold scene files.
constexpr const char* kDeviceFolder = "/dev";

bool NameLess(const std::string& a, const std::string& b) {
    if (LessIgnoringCase(a, b)) {
        return true;
    }
    return !LessIgnoringCase(b, a) && a < b;
}

}  // namespace

std::optional<CFolderId> IdentifyFolder(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        return std::nullopt;
    }
    return CFolderId{info.st_dev, info.st_ino};
}

bool IsPseudoFileSystem(const std::string& path) {
    struct statfs info {};
    if (path == kDeviceFolder || statfs(path.c_str(), &info) != 0) {
        return path == kDeviceFolder;
    }
    const auto type = static_cast<unsigned long>(info.f_type);
    return std::find(kPseudoFileSystems.begin(), kPseudoFileSystems.end(), type) !=
           kPseudoFileSystems.end();
}

std::vector<std::string> ListSubfolders(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::string name = it->path().filename().string();
        const std::string path = JoinPath(folder, name);
        if (IdentifyFolder(path) && !IsPseudoFileSystem(path)) {
            names.push_back(std::move(name));
        }
    }
    std::sort(names.begin(), names.end(), NameLess);
    return names;
}

}  // namespace orva
