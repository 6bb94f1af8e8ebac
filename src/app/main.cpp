#include <QApplication>

#include <string>
#include <vector>

#include "app/desktop_database_update.h"
#include "app/desktop_registration.h"
#include "app/gl_format.h"
#include "app/qt_message_box.h"
#include "app/scene_thumbnail_renderer.h"
#include "app/viewer_session.h"
#include "platform/module_directory.h"

namespace {

// A build tree or a copied folder registers itself for the user at every start; an
// installation the system knows (a package in /usr) was registered by the system, and takes
// away the user's copies an earlier build tree left, which would hide the system's.
void RegisterForThisUser() {
    const std::string& folder = orva::GetModuleDirectory();
    const std::string dataHome = orva::UserDataHome();
    int changed = 0;
    if (orva::IsRegisteredBySystem(folder, orva::SystemDataDirs())) {
        changed = orva::ForgetDesktopIntegration(dataHome);
    } else {
        changed = orva::RegisterDesktopIntegration(dataHome, folder + "orvaview", folder + "orva")
                      .written;
    }
    // Files only take effect once the databases are rebuilt; not waited for, so start-up is
    // not delayed.
    if (changed > 0) {
        orva::UpdateDesktopDatabases(dataHome, orva::EWaitForTools::kNo);
    }
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
    orva::InstallSceneThumbnailRenderer();
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    orva::CViewerSession session(arguments);
    session.Show();
    return QApplication::exec();
}
