#include "browser/scene_folder.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <unordered_map>
#include <unordered_set>

namespace orva {

namespace {

namespace fs = std::filesystem;

unsigned char Folded(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

std::string Lowered(std::string_view text) {
    std::string lowered(text.size(), '\0');
    std::transform(text.begin(), text.end(), lowered.begin(),
                   [](char c) { return static_cast<char>(Folded(c)); });
    return lowered;
}

// Splits "Ring.ORV" into "Ring" and ".orv"; a name without a dot has an empty extension.
std::pair<std::string, std::string> TitleAndExtension(const std::string& name) {
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) {
        return {name, {}};
    }
    return {name.substr(0, dot), Lowered(std::string_view(name).substr(dot))};
}

struct CFolderListing {
    std::vector<CSceneEntry> scenes;
    // Bitmaps by lower-case title. Names are made on systems that ignore case, so "RING.BMP"
    // belongs to "Ring.orv"; an exact match is preferred when both exist.
    std::unordered_map<std::string, std::string> bitmaps;
    std::unordered_set<std::string> exactBitmaps;  // names as they are on disk
};

CFolderListing ReadFolder(const std::string& folder) {
    CFolderListing listing;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        const auto [title, extension] = TitleAndExtension(name);
        std::error_code typeError;
        if (extension == ".orv" && !it->is_directory(typeError)) {
            listing.scenes.push_back({title, name, {}});
        } else if (extension == ".bmp" && !it->is_directory(typeError)) {
            listing.bitmaps.emplace(Lowered(title), name);
            listing.exactBitmaps.insert(name);
        }
    }
    return listing;
}

std::string ThumbnailFor(const std::string& folder, const std::string& title,
                         const CFolderListing& listing) {
    if (listing.exactBitmaps.count(title + ".bmp") != 0) {
        return JoinPath(folder, title + ".bmp");
    }
    const auto found = listing.bitmaps.find(Lowered(title));
    return found == listing.bitmaps.end() ? std::string() : JoinPath(folder, found->second);
}

}  // namespace

bool LessIgnoringCase(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return Folded(x) < Folded(y); });
}

std::string JoinPath(const std::string& folder, std::string_view name) {
    std::string path = folder;
    if (!path.empty() && path.back() != '/') {
        path += '/';
    }
    path += name;
    return path;
}

std::vector<CSceneEntry> ListSceneFiles(const std::string& folder) {
    CFolderListing listing = ReadFolder(folder);
    std::stable_sort(listing.scenes.begin(), listing.scenes.end(),
                     [](const CSceneEntry& a, const CSceneEntry& b) {
                         return LessIgnoringCase(a.title, b.title);
                     });
    for (CSceneEntry& scene : listing.scenes) {
        scene.thumbnailPath = ThumbnailFor(folder, scene.title, listing);
    }
    return listing.scenes;
}

}  // namespace orva
