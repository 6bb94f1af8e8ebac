#pragma once

#include <QRect>

class QWidget;

namespace orva {

// Where the main window sits on the screen, kept in the user's settings from one run to the
// next so that the viewer opens where it was left.

// The window's normal (not maximised) place at a first start: two thirds of the screen's
// free area in each direction, centred in it.
QRect FirstStartGeometry(const QRect& availableScreen);

// The kept normal place as it is restored on a screen whose free area is `availableScreen`:
// the first-start place when it is too small to be meant or off the screen altogether, else
// no larger than the free area and moved into it, its title bar below the area's top edge.
QRect PlaceOnScreen(const QRect& kept, const QRect& availableScreen);

// Gives `window` the place it had when it was last closed, maximised or not; at a first start
// (or when what was kept cannot be read) the first-start place, maximised. The window is not
// shown; a window manager that ignores the maximised state still shows a sensible window.
void RestoreWindowPlacement(QWidget& window);

// Keeps the window's normal place and whether it is maximised, for the next run. The normal
// place is `normalGeometry` when valid: the window's own idea of it can be the full screen's
// after the window went full screen and back; else the window's.
void SaveWindowPlacement(const QWidget& window, const QRect& normalGeometry);

// Whether `window` is in its normal state, neither maximised, full screen nor minimised: only
// then is its geometry its normal place.
bool InNormalState(const QWidget& window);

}  // namespace orva
