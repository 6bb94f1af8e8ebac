#pragma once

#include <cstdint>

#include "geometry/matrix4.h"

namespace orva {

class CDrawSurface;
class CSceneObject;

// Everything a render reads, copied when it starts, so that it never touches what the
// user-interface thread may change meanwhile.
struct CRenderRequest {
    // The objects from `first` up to (not including) `stop`; they must not change while the
    // render runs.
    const CSceneObject* first = nullptr;
    const CSceneObject* stop = nullptr;
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
    int mode = 1;     // 0: colours lit at the vertices (display mode 300); 1: per pixel (400)
    int threads = 1;  // threads of work; the picture is the same for any number
    CDrawSurface* surface = nullptr;  // receives every row once, as soon as it is done
};

struct CRenderStats {
    int rowsDelivered = 0;
    int threads = 0;
    int bands = 0;  // parts of the picture rendered, each with a tree of its own
    bool interrupted = false;
    double seconds = 0.0;
};

// Renders the request's rectangle row by row into its surface; the interrupt stops it after
// the rows in progress. Blocks until the last row is handed over.
CRenderStats RenderPicture(const CRenderRequest& request);

// A request for the current camera's viewport (or its pending repaint) of the active scene,
// into the current surface, with the threads of SetRenderThreads. Brings the view's software
// matrices up to date first. No surface or scene when there is no current camera.
CRenderRequest CurrentViewRequest(int mode);

// The display's entry for display modes 300 (mode 0) and 400 (mode 1): renders the current
// camera's viewport (or its pending repaint) of the active scene into the current surface.
// Does nothing while another render is running.
void RenderScene(int mode);

// Threads RenderScene uses; below 1 means as many as the machine has cores.
void SetRenderThreads(int threads);
int RenderThreads();

}  // namespace orva
