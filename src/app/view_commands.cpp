#include "app/view_commands.h"

#include "app/command_ids.h"
#include "view/view_camera.h"
#include "view/zoom_all.h"

namespace orva {

namespace {

// Wireframe and Rendering redraw only when the mode changes.
void SwitchMode(CViewCamera& camera, EDisplayMode mode, const std::function<void()>& redraw) {
    if (camera.displayMode == mode) {
        return;
    }
    camera.displayMode = mode;
    redraw();
}

}  // namespace

bool RunViewCommand(int commandId, CViewCamera& camera, const std::function<void()>& redraw) {
    switch (commandId) {
        case kCommandViewWireframe:
            SwitchMode(camera, kModeWireframe, redraw);
            return true;
        case kCommandViewRendering:
            SwitchMode(camera, kModeRendered, redraw);
            return true;
        case kCommandViewZoomAll:
            ZoomAll(camera);
            redraw();
            return true;
        case kCommandViewReset:
            ResetView(camera);
            ZoomAllWhenCutOff(camera);
            redraw();
            return true;
        default:
            return false;
    }
}

}  // namespace orva
