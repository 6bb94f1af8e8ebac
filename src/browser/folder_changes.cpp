#include "browser/folder_changes.h"

#include <sys/stat.h>

#include <unordered_map>

namespace orva {

namespace {

bool SameFile(const CStampedScene& a, const CStampedScene& b) {
    return a.entry.thumbnailPath == b.entry.thumbnailPath && a.scene == b.scene &&
           a.bitmap == b.bitmap;
}

}  // namespace

CFileStamp StampOf(const std::string& path) {
    struct stat info {};
    if (path.empty() || stat(path.c_str(), &info) != 0) {
        return {};
    }
    return {static_cast<int64_t>(info.st_size),
            static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

std::vector<CStampedScene> ListStampedScenes(const std::string& folder) {
    std::vector<CStampedScene> scenes;
    for (CSceneEntry& entry : ListSceneFiles(folder)) {
        const CFileStamp scene = StampOf(JoinPath(folder, entry.fileName));
        const CFileStamp bitmap = StampOf(entry.thumbnailPath);
        scenes.push_back({std::move(entry), scene, bitmap});
    }
    return scenes;
}

std::vector<int> UnchangedRows(const std::vector<CStampedScene>& now,
                               const std::vector<CStampedScene>& before) {
    std::unordered_map<std::string, int> rowOf;
    for (size_t i = 0; i < before.size(); ++i) {
        rowOf.emplace(before[i].entry.fileName, static_cast<int>(i));
    }
    std::vector<int> rows;
    rows.reserve(now.size());
    for (const CStampedScene& scene : now) {
        const auto found = rowOf.find(scene.entry.fileName);
        const bool same =
            found != rowOf.end() && SameFile(scene, before[static_cast<size_t>(found->second)]);
        rows.push_back(same ? found->second : -1);
    }
    return rows;
}

bool NothingChanged(const std::vector<int>& unchangedRows, size_t beforeCount) {
    if (unchangedRows.size() != beforeCount) {
        return false;
    }
    for (size_t i = 0; i < unchangedRows.size(); ++i) {
        if (unchangedRows[i] != static_cast<int>(i)) {
            return false;
        }
    }
    return true;
}

}  // namespace orva
