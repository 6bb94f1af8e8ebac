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

// A few messages carry a caption of their own instead of the program's name ("Error" over the
// OpenGL failures). The viewer's box shows it; without a captioned handler the text goes to the
// plain handler above, so the command line and tests see it like any other message.
using CaptionedMessageHandler =
    std::function<void(const std::string& text, const std::string& caption)>;
CaptionedMessageHandler SetCaptionedMessageHandler(CaptionedMessageHandler handler);
void ShowMessage(const std::string& text, const std::string& caption);

}  // namespace orva
