#pragma once

#include "render/render_request.h"

namespace orva {

class CDrawSurface;
class CFrameContext;
class CTessellationStore;
class CViewCamera;
struct CSceneRange;

// Renders the request's rectangle row by row into its surface; the interrupt stops it after
// the rows in progress. Blocks until the last row is handed over.
CRenderStats RenderPicture(const CRenderRequest& request);

// A request for the camera's current viewport (or its pending repaint, clipped to the
// viewport) of the objects of `scene`, into `surface`. Reads nothing but its arguments.
CRenderRequest MakeRenderRequest(const CViewCamera& camera, const CSceneRange& scene,
                                 CDrawSurface& surface, EShading shading, int threads);

// The display's entry for display modes 300 and 400: renders the frame's camera's viewport
// (or its pending repaint) of its scene into its surface, stopped by its interrupt, keeping
// the tessellation in `tessellation` (when not null) for the next. A render asked for while
// one of the same frame runs draws nothing.
void RenderScene(CFrameContext& frame, EShading shading,
                 CTessellationStore* tessellation = nullptr);

// `threads` when it is at least 1, else as many as the machine has cores.
int ThreadsOrCores(int threads);

}  // namespace orva
