#pragma once

#include <functional>
#include <string>

namespace orva {

// The title of the folder browser that asks for the data directory.
inline constexpr const char* kChooseDataDirectoryTitle = "Choose the directory of orv files";

// Asks the user for a folder under the given title; returns its path, or an empty string when
// the user cancels. The viewer asks with a folder dialog; tests answer without blocking.
using FolderAsker = std::function<std::string(const std::string& title)>;

// Installs an asker and returns the one it replaces.
FolderAsker SetFolderAsker(FolderAsker asker);

// Asks with the installed asker; empty when the user cancels.
std::string AskForFolder(const std::string& title);

// The process-wide data directory as set: empty at start, "../OrvData" after the command-line
// flag, or the folder the user picked.
const std::string& DataDirectory();
void SetDataDirectory(std::string directory);
// Sets the data directory to a folder the user picked and remembers it in the settings, so the
// next run of the program starts there without asking.
void ChooseDataDirectory(std::string directory);

// The folder in which the Open File browser shows scene files. While the data directory is
// empty it is the folder remembered from an earlier run; without one the user is asked (and
// asked again next time after a cancel); an empty result means there is none. A relative data
// directory is taken from the program's folder.
std::string GetDataDirectory();
// The same folder as far as it is known without asking: empty when neither the command line
// nor an earlier run has named one.
std::string KnownDataDirectory();

// The sample scenes shipped with the programs ("samples" in their data folder), which a new
// user sees before being asked for a folder of their own.
std::string SamplesFolder();
// Puts another folder in the samples' place (tests) and returns the one it replaces.
std::string SetSamplesFolder(std::string folder);

}  // namespace orva
