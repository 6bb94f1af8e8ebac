#include "app/scene_file_chooser.h"

#include "browser/open_file_dlg.h"

namespace orva {

namespace {

// The Open File browser, one per process, which remembers its folder and the file chosen.
std::string BrowseForSceneFile(QWidget* parent, const std::string& openFile) {
    COpenFileDlg& dialog = GetOpenFileDlg();
    dialog.SetOpenFile(openFile);
    return dialog.DoModal(parent) == COpenFileDlg::kIdOk ? dialog.ChosenFile() : std::string();
}

SceneFileChooser g_chooser;

}  // namespace

SceneFileChooser SetSceneFileChooser(SceneFileChooser chooser) {
    SceneFileChooser previous = std::move(g_chooser);
    g_chooser = std::move(chooser);
    return previous;
}

std::string ChooseSceneFile(QWidget* parent, const std::string& openFile) {
    return g_chooser ? g_chooser(parent) : BrowseForSceneFile(parent, openFile);
}

}  // namespace orva
