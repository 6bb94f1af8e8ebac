#pragma once

#include <cstdint>

namespace orva {

// How a view shows its scene, and what objects are asked to draw in. The values are the ones
// the viewer has always used; modes between the named ones draw as their range says.
enum EDisplayMode : int32_t {
    kModeWireframe = 0,
    kModeFastWireframe = 10,  // reduced detail, no extent test; extrusions as outlines
    kModeShaded = 100,
    kModeRenderedVertexColours = 300,
    kModeRendered = 400,
};

}  // namespace orva
