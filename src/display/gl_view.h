#pragma once

#include "view/view_camera.h"

namespace orva {

class CDrawSurface;
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

    // Draws the camera's picture now, through the camera's Redraw like every navigation step,
    // with this view's surface and context current meanwhile.
    void Paint();

    virtual CDrawSurface& Surface() = 0;
    // Null when the view has no OpenGL; the display then reports it and draws nothing.
    virtual CGLContext* Context() = 0;

protected:
    // After every Paint; `openGLDrew` tells whether an OpenGL frame was drawn (rather than a
    // software picture, or nothing).
    virtual void Painted(bool openGLDrew) { (void)openGLDrew; }

private:
    CViewCamera m_camera;
};

}  // namespace orva
