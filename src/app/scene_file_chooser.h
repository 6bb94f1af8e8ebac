#pragma once

#include <functional>
#include <string>

class QWidget;

namespace orva {

// Asks the user for a scene file to open; empty when the user cancels. Replaceable, so that
// tests answer without a dialog and the scene browser can take the place of the plain one.
using SceneFileChooser = std::function<std::string(QWidget* parent)>;

// Installs a chooser (null restores the plain file dialog) and returns the one it replaces.
SceneFileChooser SetSceneFileChooser(SceneFileChooser chooser);
std::string ChooseSceneFile(QWidget* parent);

}  // namespace orva
