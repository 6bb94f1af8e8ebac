#include "app/viewer_session.h"

#include "browser/data_directory.h"

#include "app/orva_view.h"
#include "app/window_placement.h"

namespace orva {

CViewerSession::CViewerSession(const std::vector<std::string>& arguments)
    : m_request(ParseStartup(arguments)), m_frame(std::make_unique<CMainFrame>(m_document)) {
    if (!m_request.dataDirectory.empty()) {
        SetDataDirectory(m_request.dataDirectory);  // where the Open File browser looks
    }
    if (!m_request.fileToOpen.empty()) {
        m_frame->OpenFile(m_request.fileToOpen);
    }
}

void CViewerSession::Show() {
    RestoreWindowPlacement(*m_frame);
    m_frame->show();
}

}  // namespace orva
