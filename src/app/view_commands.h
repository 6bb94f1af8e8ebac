#pragma once

#include <functional>

namespace orva {

class CViewCamera;

// The view's commands on its camera. `redraw` is asked to draw the view again when what it
// shows changed. Returns whether the command was one of the view's.
bool RunViewCommand(int commandId, CViewCamera& camera, const std::function<void()>& redraw);

}  // namespace orva
