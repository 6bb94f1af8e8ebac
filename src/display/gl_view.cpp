#include "display/gl_view.h"

#include "display/draw_view.h"
#include "platform/gl_context.h"
#include "view/draw_surface.h"
#include "view/frame_context.h"

namespace orva {

CGLView::CGLView() = default;

CGLView::~CGLView() = default;

void CGLView::Paint(bool interactive) {
    CDrawSurface& surface = Surface();
    surface.BindDevice();
    CGLContext* context = Context();
    const int64_t framesBefore = context != nullptr ? context->FramesBegun() : 0;
    CFrameContext frame(m_camera, surface, m_interrupt);
    frame.interactive = interactive;
    frame.renderThreads = m_renderThreads;
    frame.painter = [this](CFrameContext& f) { DrawFrame(f); };
    m_camera.Redraw(frame);
    const bool openGLDrew = context != nullptr && context->FramesBegun() != framesBefore;
    Painted(openGLDrew);
}

void CGLView::DrawFrame(CFrameContext& frame) {
    DrawView(frame, Context(), m_tessellation, &m_pictureTessellation);
}

}  // namespace orva
