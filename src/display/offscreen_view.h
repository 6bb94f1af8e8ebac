#pragma once

#include <string>

#include "display/gl_view.h"
#include "platform/egl_offscreen_context.h"
#include "view/draw_surface.h"

namespace orva {

// A view without a window: the picture of width x height pixels, top row first, whichever way
// it was made (an OpenGL frame is read back after it is drawn; the software renderer writes
// its rows directly).
class COffscreenView final : public CGLView {
public:
    COffscreenView(int width, int height);

    // Whether the OpenGL modes can be drawn, and if not, why (one line).
    bool HasOpenGL() const { return m_context.Status() == EContextStatus::kCurrent; }
    const std::string& OpenGLFailure() const { return m_context.Failure(); }
    const std::string& OpenGLVersion() const { return m_context.Version(); }

    const CImageSurface& Picture() const { return m_picture; }
    CDrawSurface& Surface() override { return m_picture; }
    CGLContext* Context() override { return &m_context; }

protected:
    void Painted(bool openGLDrew) override;

private:
    CEGLOffscreenContext m_context;
    CImageSurface m_picture;
    std::vector<uint8_t> m_rows;
};

}  // namespace orva
