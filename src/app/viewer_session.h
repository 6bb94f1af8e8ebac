#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/main_frame.h"
#include "app/orva_document.h"
#include "app/startup.h"

namespace orva {

// One running viewer: the document and the main window that shows it, made as the command
// line asks. The application object (or a test) owns it.
class CViewerSession {
public:
    // `arguments` are the program's arguments after its name. The window is made but not
    // shown; a file named on the command line is opened, and its messages wait for Show.
    explicit CViewerSession(const std::vector<std::string>& arguments);

    // Shows the main window where it was when last closed (maximised at a first start), then
    // the start-up's messages over it.
    void Show();

    COrvaDoc& Document() { return m_document; }
    CMainFrame& MainFrame() { return *m_frame; }
    // The data directory the command line asked for ("" when it asked for none).
    const std::string& DataDirectory() const { return m_request.dataDirectory; }

private:
    CStartupRequest m_request;
    COrvaDoc m_document;
    std::unique_ptr<CMainFrame> m_frame;
    std::vector<std::string> m_heldMessages;
};

}  // namespace orva
