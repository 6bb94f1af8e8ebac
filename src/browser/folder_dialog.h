#pragma once

#include <string>

namespace orva {

// The viewer's way of asking for a folder: a modal folder dialog with the given title that
// offers existing folders only and no button to make a new one. Empty when cancelled.
std::string AskForFolderWithDialog(const std::string& title);

}  // namespace orva
