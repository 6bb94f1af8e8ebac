#pragma once

#include <string>
#include <vector>

namespace orva {

// How many files the registration writes.
constexpr int kRegisteredFiles = 5;

// What one start's registration did, for logs and tests.
struct CRegistrationResult {
    int written = 0;    // files that were missing or different
    int unchanged = 0;  // files that already said the same
    int failed = 0;     // files that could not be written (a read-only home, say)
};

// Registers the ".orv" file type for the user, as the viewer does at every start from a folder
// the system does not know (see IsRegisteredBySystem): the MIME type "*.orv" (comment "OrvaVi
// Document"), a desktop entry that opens files with the viewer at `viewerPath`, a thumbnailer
// entry that runs `orvaPath thumbnails --one`, and the icon of the program and of the type.
// Files go below `dataHome` (normally ~/.local/share) and are written only when missing or
// different; a folder that cannot be written is counted, never an error.
CRegistrationResult RegisterDesktopIntegration(const std::string& dataHome,
                                               const std::string& viewerPath,
                                               const std::string& orvaPath);

// Removes the files RegisterDesktopIntegration writes below `dataHome`, for an installation
// the system registered: the user's copies would hide its entries (a build tree's entry, say,
// naming a program that has since moved). They are the viewer's own files, rewritten at every
// start of a registering viewer, so nothing of the user's goes. Returns how many it removed.
int ForgetDesktopIntegration(const std::string& dataHome);

// $XDG_DATA_HOME, or ~/.local/share; empty when neither can be found.
std::string UserDataHome();

// The folders whose desktop files the system reads for every user: the absolute entries of
// $XDG_DATA_DIRS, or /usr/local/share/ and /usr/share/ when it names none.
std::vector<std::string> SystemDataDirs();

// True when the programs in `programFolder` were installed together with their desktop entry
// into one of `systemDataDirs`: ../share/applications/orvaview.desktop of the program folder
// exists and that share folder is one of them. Registering such an installation is the
// system's business (a package's triggers); per-user copies would only hide later updates.
bool IsRegisteredBySystem(const std::string& programFolder,
                          const std::vector<std::string>& systemDataDirs);

}  // namespace orva
