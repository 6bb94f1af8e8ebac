#include "display/frame_plan.h"

#include "view/view_camera.h"

namespace orva {

CFramePlan PlanFrame(EDisplayMode displayMode, bool interactive) {
    if (displayMode < kModeShaded) {
        return {EFramePath::kOpenGL, displayMode};
    }
    if (interactive || displayMode == kModeShaded) {
        return {EFramePath::kOpenGL, kModeShaded};
    }
    if (displayMode == kModeRenderedVertexColours) {
        return {EFramePath::kSoftwareVertexColours, displayMode};
    }
    if (displayMode == kModeRendered) {
        return {EFramePath::kSoftwarePerPixel, displayMode};
    }
    return {EFramePath::kNothing, displayMode};
}

}  // namespace orva
