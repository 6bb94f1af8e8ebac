#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace orva {

// What About says: the program and its version, and the libraries it is built on with their
// licences, as rich text.
QString AboutText();

// How the shared objects of the credited libraries begin ("libopenvdb"): every library the
// program links should begin with one of them.
QStringList CreditedSharedObjects();

// Shows AboutText in a message box over `parent`.
void ShowAboutBox(QWidget* parent);

}  // namespace orva
