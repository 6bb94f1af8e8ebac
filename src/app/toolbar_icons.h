#pragma once

#include <QIcon>

namespace orva {

// The toolbar picture of a command, drawn as vector shapes at whatever size and pixel density
// it is asked for, so it stays sharp on high-density screens.
QIcon ToolbarIcon(int commandId);

}  // namespace orva
