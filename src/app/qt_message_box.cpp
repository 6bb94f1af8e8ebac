#include "app/qt_message_box.h"

#include <QApplication>
#include <QMessageBox>

#include "app/command_ids.h"
#include "platform/message_box.h"

namespace orva {

namespace {

void ShowBox(const std::string& text, const std::string& caption) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(caption),
                    QString::fromStdString(text), QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

}  // namespace

void InstallMessageBoxes() {
    SetMessageHandler([](const std::string& text) { ShowBox(text, kApplicationName); });
    SetCaptionedMessageHandler(ShowBox);
}

}  // namespace orva
