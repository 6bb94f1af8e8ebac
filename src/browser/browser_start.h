#pragma once

#include <string>

namespace orva {

// Where the Open File browser opens: the folder at the top of its tree and the folder selected
// in it, which is the root or a folder below it.
struct CBrowserStart {
    std::string root;
    std::string folder;
};

// What the browser knows when it opens. Empty texts are unknown.
struct CBrowserPlaces {
    std::string openFile;       // the scene open in the viewer
    std::string dataDirectory;  // from the command line or remembered from an earlier run
    std::string samples;        // the shipped samples
    std::string lastFolder;     // the folder selected when the browser last closed
};

// The first that exists of: the open file's folder, within the data directory's tree when it
// lies there and as a root of its own otherwise; the data directory, on the last folder when
// that lies within it; the samples, likewise. A new user thus starts among the samples instead
// of being asked for a folder. An empty root when none exists, and the caller asks.
CBrowserStart ChooseBrowserStart(const CBrowserPlaces& places);

// True for a folder the browser can list: it exists and may be entered.
bool IsEnterableFolder(const std::string& path);

// "/data/" and "/data" name the same folder; paths below it are joined with one slash.
std::string WithoutTrailingSlash(std::string path);

}  // namespace orva
