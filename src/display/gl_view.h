#pragma once

#include "display/tessellation_cache.h"
#include "platform/interrupt.h"
#include "render/tessellation/tessellation_store.h"
#include "view/view_camera.h"

namespace orva {

class CDrawSurface;
class CFrameContext;
class CGLContext;

// A 3D view: its camera, the surface the software renderer writes to, and the OpenGL context
// the display draws with. The window and the offscreen picture are its two kinds, so the
// command line and the tests draw through exactly the code the window uses.
class CGLView {
public:
    CGLView();
    virtual ~CGLView();
    CGLView(const CGLView&) = delete;
    CGLView& operator=(const CGLView&) = delete;

    CViewCamera& Camera() { return m_camera; }
    // What stops this view's pictures; every picture starts by resetting it.
    CInterrupt& Interrupt() { return m_interrupt; }
    // Threads of the software render; below 1, one per core.
    void SetRenderThreads(int threads) { m_renderThreads = threads; }
    int RenderThreads() const { return m_renderThreads; }
    // The parts the shaded frames of this view have tessellated, kept between frames.
    CTessellationCache& Tessellation() { return m_tessellation; }
    // What the software pictures of this view have tessellated, kept between pictures; their
    // threads and the view's other pictures (saved, refined) share it.
    CTessellationStore& PictureTessellation() { return m_pictureTessellation; }

    // Draws the camera's picture now, through the camera's Redraw like every navigation step,
    // in a frame of its own: this view's surface, context, interrupt and threads. `interactive`
    // draws it as the quick preview.
    void Paint(bool interactive = false);

    virtual CDrawSurface& Surface() = 0;
    // Null when the view has no OpenGL; the display then reports it and draws nothing.
    virtual CGLContext* Context() = 0;

protected:
    // What a frame shows once its viewport is applied: the display-mode dispatch.
    virtual void DrawFrame(CFrameContext& frame);
    // After every Paint; `openGLDrew` tells whether an OpenGL frame was drawn (rather than a
    // software picture, or nothing).
    virtual void Painted(bool openGLDrew) { (void)openGLDrew; }

private:
    CViewCamera m_camera;
    CInterrupt m_interrupt;
    CTessellationCache m_tessellation;
    CTessellationStore m_pictureTessellation;
    int m_renderThreads = 0;
};

}  // namespace orva
