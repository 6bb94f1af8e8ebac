#include <QApplication>

#include <string>
#include <vector>

#include "app/desktop_registration.h"
#include "app/gl_format.h"
#include "app/qt_message_box.h"
#include "app/viewer_session.h"
#include "platform/module_directory.h"

namespace {

void RegisterForThisUser() {
    const std::string& folder = orva::GetModuleDirectory();
    orva::RegisterDesktopIntegration(orva::UserDataHome(), folder + "orvaview", folder + "orva");
}

}  // namespace

int main(int argc, char** argv) {
    orva::RequestCompatibilityOpenGL();
    QApplication application(argc, argv);
    // The names under which the user's settings (the window's place) are kept.
    QApplication::setOrganizationName("Orvatrix");
    QApplication::setApplicationName("Orvatrix Viewer");
    orva::InstallMessageBoxes();
    RegisterForThisUser();
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    orva::CViewerSession session(arguments);
    session.Show();
    return QApplication::exec();
}
