#include "app/desktop_registration.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "app/app_icon_svg.h"
#include "platform/replacing_file.h"

namespace orva {

namespace {

namespace fs = std::filesystem;

constexpr char kMimeType[] = "application/x-orvaview-document";

std::string MimeTypeText() {
    std::ostringstream text;
    text << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         << "<!-- The scene files of Orvatrix Viewer; the document type id is "
            "OrvaView.Document. -->\n"
         << "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
         << "  <mime-type type=\"" << kMimeType << "\">\n"
         << "    <comment>OrvaVi Document</comment>\n"
         << "    <generic-icon name=\"image-x-generic\"/>\n"
         << "    <glob pattern=\"*.orv\"/>\n"
         << "  </mime-type>\n"
         << "</mime-info>\n";
    return text.str();
}

// Paths in Exec lines are quoted, so folders with spaces work.
std::string Quoted(const std::string& path) {
    std::string quoted = "\"";
    for (char c : path) {
        if (c == '"' || c == '\\' || c == '`' || c == '$') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + "\"";
}

std::string DesktopEntryText(const std::string& viewerPath) {
    return "[Desktop Entry]\nType=Application\nName=Orvatrix Viewer\n"
           "GenericName=Jewellery Model Viewer\nComment=View three-dimensional jewellery models\n"
           "Exec=" +
           Quoted(viewerPath) +
           " %f\nIcon=orvaview\nTerminal=false\nCategories=Graphics;3DGraphics;Viewer;\n"
           "Keywords=jewellery;jewelry;ring;gem;3D;model;\n"
           "MimeType=" +
           kMimeType + ";\n";
}

std::string ThumbnailerText(const std::string& orvaPath) {
    return "[Thumbnailer Entry]\nTryExec=" + orvaPath + "\nExec=" + Quoted(orvaPath) +
           " thumbnails --one %i %o %s\nMimeType=" + kMimeType + ";\n";
}

// Writes `text` to `path` unless the file already holds exactly that.
void WriteIfDifferent(const fs::path& path, const std::string& text, CRegistrationResult& r) {
    std::ifstream existing(path, std::ios::binary);
    if (existing) {
        const std::string old((std::istreambuf_iterator<char>(existing)), {});
        if (old == text) {
            ++r.unchanged;
            return;
        }
    }
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    // Replaced whole, so that the desktop, which may read it at any moment, never sees half a
    // file, and two viewers starting together never write into one temporary file.
    if (!WriteReplacingFile(path.string(), text)) {
        ++r.failed;
        return;
    }
    ++r.written;
}

// Every file the registration writes, below the data home.
constexpr const char* kRegisteredPaths[kRegisteredFiles] = {
    "mime/packages/orvaview.xml",
    "applications/orvaview.desktop",
    "thumbnailers/orvaview.thumbnailer",
    "icons/hicolor/scalable/apps/orvaview.svg",
    "icons/hicolor/scalable/mimetypes/application-x-orvaview-document.svg",
};

}  // namespace

CRegistrationResult RegisterDesktopIntegration(const std::string& dataHome,
                                               const std::string& viewerPath,
                                               const std::string& orvaPath) {
    CRegistrationResult result;
    if (dataHome.empty()) {
        result.failed = kRegisteredFiles;
        return result;
    }
    const fs::path home(dataHome);
    // The file manager looks the type's icon up under the type's name, dashes for the slash:
    // the last two paths hold the same icon.
    const std::string texts[kRegisteredFiles] = {MimeTypeText(), DesktopEntryText(viewerPath),
                                                 ThumbnailerText(orvaPath), kAppIconSvg,
                                                 kAppIconSvg};
    for (int i = 0; i < kRegisteredFiles; ++i) {
        WriteIfDifferent(home / kRegisteredPaths[i], texts[i], result);
    }
    return result;
}

int ForgetDesktopIntegration(const std::string& dataHome) {
    if (dataHome.empty()) {
        return 0;
    }
    int removed = 0;
    for (const char* path : kRegisteredPaths) {
        std::error_code error;
        removed += fs::remove(fs::path(dataHome) / path, error) ? 1 : 0;
    }
    return removed;
}

std::string UserDataHome() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && xdg[0] == '/') {
        return xdg;
    }
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') {
        return std::string(home) + "/.local/share";
    }
    return {};
}

std::vector<std::string> SystemDataDirs() {
    std::vector<std::string> folders;
    const char* value = std::getenv("XDG_DATA_DIRS");
    std::istringstream list(value != nullptr ? value : "");
    std::string folder;
    while (std::getline(list, folder, ':')) {
        // Relative entries are invalid and ignored, as every reader of the list does.
        if (!folder.empty() && folder[0] == '/') {
            folders.push_back(folder);
        }
    }
    if (folders.empty()) {
        folders = {"/usr/local/share/", "/usr/share/"};
    }
    return folders;
}

bool IsRegisteredBySystem(const std::string& programFolder,
                          const std::vector<std::string>& systemDataDirs) {
    const fs::path share = fs::path(programFolder) / ".." / "share";
    std::error_code error;
    if (!fs::is_regular_file(share / "applications" / "orvaview.desktop", error)) {
        return false;
    }
    // Compared as files, not as text: /usr/share/ and /usr/bin/../share are the same folder,
    // and so is a path through a symbolic link.
    for (const std::string& folder : systemDataDirs) {
        if (fs::equivalent(share, folder, error)) {
            return true;
        }
    }
    return false;
}

}  // namespace orva
