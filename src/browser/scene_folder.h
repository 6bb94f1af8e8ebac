#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orva {

// One scene file of a folder as the browser lists it.
struct CSceneEntry {
    std::string title;     // the file name without its extension: the text under the thumbnail
    std::string fileName;  // the name on disk; its extension may be ".ORV" or any other case
    // The ".bmp" of the same title in the same folder, or empty when there is none.
    std::string thumbnailPath;
};

// Orders titles as the browser shows them: byte by byte with letters folded to lower case, so
// "A" and "a" are equal and keep the order they had.
bool LessIgnoringCase(std::string_view a, std::string_view b);

// The scene files (".orv" in any case) directly in `folder`, sorted by title with
// LessIgnoringCase and stable, each with its thumbnail path. An unreadable folder lists nothing.
std::vector<CSceneEntry> ListSceneFiles(const std::string& folder);

// `folder` + "/" + `name`, without doubling a trailing slash (the file-system root "/").
std::string JoinPath(const std::string& folder, std::string_view name);

}  // namespace orva
