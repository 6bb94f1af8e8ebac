#pragma once

#include <string>

namespace orva {

// How many files the registration writes.
constexpr int kRegisteredFiles = 5;

// What one start's registration did, for logs and tests.
struct CRegistrationResult {
    int written = 0;    // files that were missing or different
    int unchanged = 0;  // files that already said the same
    int failed = 0;     // files that could not be written (a read-only home, say)
};

// Registers the ".orv" file type for the user, as the viewer does at every start: the MIME
// type "*.orv" (comment "OrvaVi Document"), a desktop entry that opens files with the viewer
// at `viewerPath`, a thumbnailer entry that runs `orvaPath thumbnails --one`, and the icon of
// the program and of the type. Files go
// below `dataHome` (normally ~/.local/share) and are written only when missing or different;
// a folder that cannot be written is counted, never an error.
CRegistrationResult RegisterDesktopIntegration(const std::string& dataHome,
                                               const std::string& viewerPath,
                                               const std::string& orvaPath);

// $XDG_DATA_HOME, or ~/.local/share; empty when neither can be found.
std::string UserDataHome();

}  // namespace orva
