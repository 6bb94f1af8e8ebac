#pragma once

#include <QRect>

class QWidget;

namespace orva {

// Where the main window sits on the screen, kept in the user's settings from one run to the
// next so that the viewer opens where it was left.

// The window's normal (not maximised) place at a first start: two thirds of the screen's
// free area in each direction, centred in it.
QRect FirstStartGeometry(const QRect& availableScreen);

// Gives `window` the place it had when it was last closed, maximised or not; at a first start
// (or when what was kept cannot be read) the first-start place, maximised. The window is not
// shown; a window manager that ignores the maximised state still shows a sensible window.
void RestoreWindowPlacement(QWidget& window);

// Keeps the window's normal place and whether it is maximised, for the next run.
void SaveWindowPlacement(const QWidget& window);

}  // namespace orva
