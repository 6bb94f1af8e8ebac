#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace orva {

// A folder's identity whatever path reached it: links and ".." give many names to one folder.
struct CFolderId {
    dev_t device;
    ino_t inode;
    bool operator==(const CFolderId&) const = default;
};

// The identity of the folder at `path` (links followed); none when it is not a folder.
std::optional<CFolderId> IdentifyFolder(const std::string& path);

// True for the kernel's pseudo file systems (/proc, /sys, /dev, cgroups, debugfs, ...): they
// hold no scene files, and walking them costs minutes or never ends.
bool IsPseudoFileSystem(const std::string& path);

// The names of the folders directly in `folder` (links to folders count), sorted like the
// titles of the file list (LessIgnoringCase, then byte order so equal-looking names keep one
// fixed order). Folders on a pseudo file system are left out. Only this one level is read, so
// the browser lists a folder when the user opens it; an unreadable folder lists nothing.
std::vector<std::string> ListSubfolders(const std::string& folder);

}  // namespace orva
