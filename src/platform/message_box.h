#pragma once

#include <functional>
#include <string>

namespace orva {

// The core shows the user its fixed texts ("Invalid file format!") through this hook:
// the viewer installs a message box, the command line writes to stderr, tests record.
using MessageHandler = std::function<void(const std::string& text)>;

// Installs a handler and returns the one it replaces.
MessageHandler SetMessageHandler(MessageHandler handler);
void ShowMessage(const std::string& text);

}  // namespace orva
