#include "browser/folder_dialog.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>

namespace orva {

std::string AskForFolderWithDialog(const std::string& title) {
    // Read-only keeps the dialog from offering to make or delete folders: the viewer only
    // reads what is there.
    const QString folder = QFileDialog::getExistingDirectory(
        QApplication::activeWindow(), QString::fromStdString(title), QString(),
        QFileDialog::ShowDirsOnly | QFileDialog::ReadOnly);
    return QFile::encodeName(folder).toStdString();
}

}  // namespace orva
