#pragma once

#include <string>

namespace orva {

enum class EWaitForTools { kNo, kYes };

// Runs the freedesktop tools that rebuild the user's MIME and application databases below
// `dataHome` (normally ~/.local/share), so that files just registered take effect: the file
// manager learns the type of "*.orv" and which program opens it. Tools that are not installed
// are skipped. With kNo the tools run on their own and start-up goes on at once. Returns how
// many tools were started.
int UpdateDesktopDatabases(const std::string& dataHome, EWaitForTools wait);

}  // namespace orva
