#include "app/scene_file_chooser.h"

#include <QFileDialog>

namespace orva {

namespace {

std::string PlainFileDialog(QWidget* parent) {
    return QFileDialog::getOpenFileName(parent, QString(), QString(),
                                        "Orvatrix Viewer Files (*.orv)")
        .toStdString();
}

SceneFileChooser g_chooser;

}  // namespace

SceneFileChooser SetSceneFileChooser(SceneFileChooser chooser) {
    SceneFileChooser previous = std::move(g_chooser);
    g_chooser = std::move(chooser);
    return previous;
}

std::string ChooseSceneFile(QWidget* parent) {
    return g_chooser ? g_chooser(parent) : PlainFileDialog(parent);
}

}  // namespace orva
