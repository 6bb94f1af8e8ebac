#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "browser/scene_folder.h"

namespace orva {

// What a listing can tell of a file's last change: its size and modification time.
struct CFileStamp {
    int64_t size = -1;     // -1: there is no such file
    int64_t modified = 0;  // nanoseconds since the epoch
    bool operator==(const CFileStamp&) const = default;
};

// The stamp of the file at `path`; one with size -1 when it cannot be found.
CFileStamp StampOf(const std::string& path);

// A scene file of a folder with the stamps that tell when it, or its bitmap, has changed.
struct CStampedScene {
    CSceneEntry entry;
    CFileStamp scene;
    CFileStamp bitmap;
};

// The scene files of `folder` as ListSceneFiles lists them, each stamped.
std::vector<CStampedScene> ListStampedScenes(const std::string& folder);

// For each scene of `now`, the index in `before` of the same file with the same bitmap, both
// unchanged; -1 for a file that is new or has changed. Both lists are in the browser's order.
std::vector<int> UnchangedRows(const std::vector<CStampedScene>& now,
                               const std::vector<CStampedScene>& before);

// True when `now` lists the files of `before`, in the same order and all unchanged.
bool NothingChanged(const std::vector<int>& unchangedRows, size_t beforeCount);

}  // namespace orva
