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
// `openFile` is the scene open now (empty when none): the browser opens on its folder.
std::string ChooseSceneFile(QWidget* parent, const std::string& openFile);

}  // namespace orva
