#pragma once

#include <QDialog>
#include <QString>

#include <vector>

class QMenuBar;

namespace orva {

// One line of the cheat-sheet: what to press or drag, and what it does.
struct CKeyHelpLine {
    QString input;  // "Ctrl+O", "A, Home", "Left drag"
    QString does;   // "File ▸ Open", "Rotate"
};

// Every key of the menus (read from their entries, so that the sheet cannot fall behind them)
// followed by every drag and click of the view.
std::vector<CKeyHelpLine> KeysAndMouseLines(const QMenuBar& menus);

// A small window with the cheat-sheet, kept beside the main window while the user tries.
class CKeysAndMouseWindow : public QDialog {
    Q_OBJECT

public:
    CKeysAndMouseWindow(const QMenuBar& menus, QWidget* parent);
};

}  // namespace orva
