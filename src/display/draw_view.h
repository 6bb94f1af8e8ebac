#pragma once

namespace orva {

class CFrameContext;
class CGLContext;
class CTessellationCache;
class CTessellationStore;

// Draws the frame's picture: hands modes 300 and 400 to the software renderer, or makes
// `context` current, draws the wireframe or shaded frame, and releases the context. A view's
// painter calls it once the viewport is applied. Without a context the OpenGL modes report
// that no pixel format could be had and draw nothing. The shaded frame keeps the parts it
// tessellates in `cache` for the next frame, the software picture in `pictures` (when not null).
void DrawView(CFrameContext& frame, CGLContext* context, CTessellationCache& cache,
              CTessellationStore* pictures = nullptr);

// The shaded pass: every visible object on screen lit and depth-tested, curves as unlit lines.
void DrawShadedPass(CFrameContext& frame, CTessellationCache& cache);

}  // namespace orva
