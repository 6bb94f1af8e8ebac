#include "app/viewer_session.h"

#include <utility>

#include "browser/data_directory.h"

#include "app/orva_view.h"
#include "platform/message_box.h"

namespace orva {

CViewerSession::CViewerSession(const std::vector<std::string>& arguments)
    : m_request(ParseStartup(arguments)), m_frame(std::make_unique<CMainFrame>(m_document)) {
    if (!m_request.dataDirectory.empty()) {
        SetDataDirectory(m_request.dataDirectory);  // where the Open File browser looks
    }
    if (!m_request.fileToOpen.empty()) {
        // The window is not on screen yet: what the open has to say waits for it, so that
        // the message appears over the window rather than alone before it.
        const MessageHandler shown =
            SetMessageHandler([this](const std::string& text) { m_heldMessages.push_back(text); });
        m_frame->OpenFile(m_request.fileToOpen);
        SetMessageHandler(shown);
    }
}

void CViewerSession::Show() {
    m_frame->RestorePlacement();
    m_frame->show();
    for (const std::string& text : std::exchange(m_heldMessages, {})) {
        ShowMessage(text);
    }
}

}  // namespace orva
