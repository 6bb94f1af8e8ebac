#pragma once

#include <vector>

#include "geometry/vector3.h"

namespace orva {

// Directions are taken as the viewer sees them: x to the right, y up, z from the object
// towards the viewer. The renderer reads its reflection and gloss maps by the eye-space normal,
// so the environment keeps its place relative to the viewer whichever way the model is turned.

// One stop of the backdrop: the colour (0..255 per component) at an elevation in degrees,
// -90 straight down, 0 the horizon, 90 straight up.
struct CGradientStop {
    float elevation = 0.0f;
    CVector3 colour;
};

// A rectangular light panel. Its colour is added to the backdrop and may exceed 255: an
// over-exposed panel stays white after the map is tinted.
struct CSoftbox {
    float azimuth = 0.0f;    // degrees round the vertical: 0 behind the viewer, 90 to the right
    float elevation = 0.0f;  // degrees above the horizon of its centre
    float width = 20.0f;     // angular size across, degrees
    float height = 20.0f;    // angular size up and down, degrees
    float softness = 4.0f;   // degrees over which its edges fade out
    CVector3 colour{255.0f, 255.0f, 255.0f};
};

struct CStudioEnvironment {
    // Sorted by elevation; between stops the colour eases from one to the next. Empty: black.
    std::vector<CGradientStop> gradient;
    std::vector<CSoftbox> softboxes;
};

// What the studio shows along the unit `direction`, 0..255 per component (panels may go
// above 255).
CVector3 StudioRadiance(const CStudioEnvironment& studio, CVector3 direction);

}  // namespace orva
