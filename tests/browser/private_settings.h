#pragma once

#include <QCoreApplication>
#include <QSettings>
#include <QTemporaryDir>

namespace orva::test {

// Points the program's settings at a folder of the test's own for as long as the object lives,
// so that no test reads or writes the user's settings.
struct CPrivateSettings {
    CPrivateSettings() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
        QCoreApplication::setOrganizationName("Orvatrix");
        QCoreApplication::setApplicationName("Orvatrix Viewer");
    }

    QTemporaryDir folder;
};

}  // namespace orva::test
