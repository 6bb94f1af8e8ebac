#pragma once

#include <functional>
#include <string>

class QWidget;

namespace orva {

// Asks the user for a scene file to open; empty when the user cancels. The Open File browser
// asks unless a chooser is installed: tests answer without a dialog.
using SceneFileChooser = std::function<std::string(QWidget* parent)>;

// Installs a chooser (null restores the browser) and returns the one it replaces.
SceneFileChooser SetSceneFileChooser(SceneFileChooser chooser);
std::string ChooseSceneFile(QWidget* parent);

}  // namespace orva
