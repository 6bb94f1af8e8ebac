#pragma once

#include "scene/display_mode.h"

namespace orva {

// How a display mode is drawn.
enum class EFramePath {
    kNothing,  // modes above 100 the display does not know: the window stays as it was
    kSoftwareVertexColours,  // 300: the software renderer with colours lit at the vertices
    kSoftwarePerPixel,       // 400: the software renderer shading every pixel
    kOpenGL,                 // below 100 wireframe, 100 shaded
};

struct CFramePlan {
    EFramePath path = EFramePath::kNothing;
    EDisplayMode mode = kModeWireframe;  // the mode the OpenGL frame draws in
};

// The display-mode table. While the user interacts, every mode from 100 up is drawn as the
// shaded OpenGL frame, so the software renderer never holds up a drag.
CFramePlan PlanFrame(EDisplayMode displayMode, bool interactive);

}  // namespace orva
