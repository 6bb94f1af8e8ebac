#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "geometry/matrix4.h"
#include "render/shading/shading.h"

namespace orva {

class CDrawSurface;
struct CCsgPlan;
class CInterrupt;
class CSceneObject;
class CTessellationStore;

// Everything a render reads, copied when it starts, so that it never touches what the
// user-interface thread may change meanwhile.
struct CRenderRequest {
    // The objects from `first` up to (not including) `stop`; they must not change while the
    // render runs.
    const CSceneObject* first = nullptr;
    const CSceneObject* stop = nullptr;
    // How those objects become a solid (not owned; shared by the threads). Null: the picture
    // plans the whole scene range itself.
    const CCsgPlan* plan = nullptr;
    CMatrix4 view;          // the viewport's view matrix
    CMatrix4 windowMatrix;  // model to window pixels (x, y) with the eye depth as z
    int32_t viewportX = 0;  // the viewport in window pixels
    int32_t viewportY = 0;
    int32_t viewportWidth = 0;
    int32_t viewportHeight = 0;
    // A pending repaint (right and bottom exclusive): only that part is rendered.
    bool repaintSet = false;
    int32_t repaintLeft = 0;
    int32_t repaintTop = 0;
    int32_t repaintRight = 0;
    int32_t repaintBottom = 0;
    EShading shading = EShading::kPerPixel;
    // N: each pixel is the mean of N x N samples at the centres of its N x N sub-squares, as
    // if the picture were rendered N times larger and averaged in blocks; samples are taken
    // one by one only where they would see different surfaces. 1 is the plain picture.
    int antialias = 1;
    // 0xRRGGBB of what a pixel shows where no surface is; unset: the display's grey.
    std::optional<uint32_t> background;
    // Rows carry their coverage: before each row's colours the surface's PutCoverage gets the
    // row's alpha (0 background .. 255 covered; transparent surfaces let it through as they
    // let the background through), and the colours are those of the surfaces alone, not
    // blended with the background.
    bool coverage = false;
    // What earlier pictures tessellated, kept for this one and the next (not owned; its threads
    // share it). Null: the picture keeps its own while it lasts. The picture is the same either
    // way.
    CTessellationStore* tessellation = nullptr;
    // More pictures follow at once (the frames of an animation): the memory this one used stays
    // with the process for them, rather than going back to the system when it is done.
    bool keepMemory = false;
    int threads = 1;                  // threads of work; the picture is the same for any number
    CDrawSurface* surface = nullptr;  // receives every row once, as soon as it is done
    // Asked once per row; the render stops after the rows in progress once it answers true.
    // Its owner resets it; the render only polls it. Null: the render runs to its end.
    CInterrupt* interrupt = nullptr;
};

struct CRenderStats {
    int rowsDelivered = 0;
    int threads = 0;
    int bands = 0;  // parts of the picture rendered, each with a tree of its own
    bool interrupted = false;
    double seconds = 0.0;
    // Per thread: how long it waited at the end of the picture for the others.
    std::vector<double> idleSeconds;
};

}  // namespace orva
