#pragma once

#include <string>
#include <vector>

namespace orva {

// A folder below the browser's root and, to any depth, the folders inside it.
struct CFolderNode {
    std::string name;  // the name on disk, bytes as they are
    std::vector<CFolderNode> children;
};

// The whole hierarchy of folders below `root`, each level sorted like the titles of the file
// list (LessIgnoringCase, then byte order so equal-looking names keep one fixed order).
// Symbolic links to folders are listed like folders, but a link back to a folder that
// encloses it is not entered again, so loops end. Unreadable folders list no children.
std::vector<CFolderNode> ScanFolderTree(const std::string& root);

}  // namespace orva
