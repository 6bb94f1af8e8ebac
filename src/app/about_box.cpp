#include "app/about_box.h"

#include <QMessageBox>
#include <QStringList>
#include <QtGlobal>

#include "app/command_ids.h"
#include "app/web_site.h"

namespace orva {

namespace {

// The libraries the viewer is built on, by the names their authors give them, with their
// licences; `shared` holds how the names of their shared objects begin (several apart by
// spaces), which lets a test find any library the program links that this list does not
// credit.
struct CCreditedLibrary {
    const char* name;
    const char* licence;
    const char* use;
    const char* shared;
};

constexpr CCreditedLibrary kLibraries[] = {
    {"Qt", "LGPL-3.0", "windows, dialogs, printing", "libQt6"},
    {"OpenVDB", "MPL-2.0", "closed meshes of the resolved piece", "libopenvdb"},
    {"Imath", "BSD-3-Clause", "OpenVDB's vectors", "libImath"},
    {"oneTBB", "Apache-2.0", "OpenVDB's threads", "libtbb"},
    {"libzip", "BSD-3-Clause", "3MF packages", "libzip"},
    {"TinyGLTF", "MIT", "glTF files", "libtinygltf"},
    {"meshoptimizer", "MIT", "meshes for the web", "libmeshoptimizer"},
    {"libpng", "libpng License", "PNG pictures", "libpng"},
    {"libjpeg-turbo", "IJG and BSD-3-Clause", "JPEG pictures", "libjpeg"},
    {"cairo", "LGPL-2.1 or MPL-1.1", "the report's PDF", "libcairo"},
    {"Pango", "LGPL-2.0-or-later", "the report's text", "libpango"},
    {"GLib", "LGPL-2.1-or-later", "Pango's and cairo's base", "libg"},
    {"libglvnd", "MIT", "OpenGL", "libOpenGL libEGL libGLX"},
    {"HarfBuzz", "MIT", "Pango's text shaping", "libharfbuzz"},
    {"zlib", "Zlib", "compressed streams", "libz."},
    {"libwebp", "BSD-3-Clause", "WebP pictures", "libwebp"},
    {"FFmpeg", "LGPL-2.1-or-later", "turntable videos and GIFs", "libav libsw"},
    {"nlohmann/json", "MIT", "JSON reports", ""},
    {"model-viewer", "Apache-2.0 (with three.js and lit)", "the shop's web page", ""},
};

}  // namespace

QString AboutText() {
    QStringList rows;
    for (const CCreditedLibrary& library : kLibraries) {
        rows << QString("<tr><td>%1</td><td>%2</td><td>%3</td></tr>")
                    .arg(library.name, library.licence, library.use);
    }
    return QString(
               "<h3>%1</h3>"
               "<p>A viewer of jewellery scene files: turn the piece, render it, weigh it, "
               "and take it out as a picture, a mesh or a web page.</p>"
               "<p><a href=\"%2\">%2</a></p>"
               "<p>Built on these libraries (Qt %3 here), used under their licences:</p>"
               "<table cellspacing=\"4\"><tr><th align=\"left\">Library</th>"
               "<th align=\"left\">Licence</th><th align=\"left\">For</th></tr>%4</table>")
        .arg(kApplicationName, kWebSiteAddress, qVersion(), rows.join(QString()));
}

QStringList CreditedSharedObjects() {
    QStringList prefixes;
    for (const CCreditedLibrary& library : kLibraries) {
        prefixes << QString(library.shared).split(' ', Qt::SkipEmptyParts);
    }
    return prefixes;
}

void ShowAboutBox(QWidget* parent) {
    QMessageBox::about(parent, QString("About %1").arg(kWindowTitle), AboutText());
}

}  // namespace orva
