#include "display/gl_view.h"

#include "display/draw_view.h"
#include "display/view_context.h"
#include "platform/gl_context.h"
#include "view/draw_surface.h"

namespace orva {

CGLView::CGLView() {
    InstallDisplay();
}

CGLView::~CGLView() = default;

void CGLView::Paint() {
    CDrawSurface* previousSurface = SetCurrentSurface(&Surface());
    CGLContext* context = Context();
    CGLContext* previousContext = SetViewContext(context);
    const int64_t framesBefore = context != nullptr ? context->FramesBegun() : 0;
    m_camera.Redraw();
    const bool openGLDrew = context != nullptr && context->FramesBegun() != framesBefore;
    SetViewContext(previousContext);
    SetCurrentSurface(previousSurface);
    Painted(openGLDrew);
}

}  // namespace orva
