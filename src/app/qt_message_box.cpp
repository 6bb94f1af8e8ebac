#include "app/qt_message_box.h"

#include <QApplication>
#include <QGridLayout>
#include <QMainWindow>
#include <QMessageBox>
#include <QSpacerItem>

#include "app/command_ids.h"
#include "platform/message_box.h"

namespace orva {

namespace {

// The window a message belongs over: the active one, else the program's main window (at
// start-up it may be on screen before the system has made it active).
QWidget* MessageParent() {
    if (QWidget* active = QApplication::activeWindow()) {
        return active;
    }
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMainWindow*>(widget) != nullptr && widget->isVisible()) {
            return widget;
        }
    }
    return nullptr;
}

// A box sized to a short text would cut its caption to a few letters: it is made at least
// as wide as the caption, with room for the title bar's buttons.
void FitCaption(QMessageBox& box, const QString& caption) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (grid == nullptr) {
        return;
    }
    constexpr int kTitleBarButtons = 120;
    const int width = box.fontMetrics().horizontalAdvance(caption) + kTitleBarButtons;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Expanding),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

void ShowBox(const std::string& text, const std::string& caption) {
    const QString title = QString::fromStdString(caption);
    QMessageBox box(QMessageBox::NoIcon, title, QString::fromStdString(text), QMessageBox::Ok,
                    MessageParent());
    FitCaption(box, title);
    box.exec();
}

}  // namespace

void InstallMessageBoxes() {
    SetMessageHandler([](const std::string& text) { ShowBox(text, kApplicationName); });
    SetCaptionedMessageHandler(ShowBox);
}

}  // namespace orva
