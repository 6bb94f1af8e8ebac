#include "display/offscreen_view.h"

namespace orva {

COffscreenView::COffscreenView(int width, int height)
    : m_context(width, height), m_picture(width, height) {
    Camera().SetViewportRect(0, 0, width, height);
}

void COffscreenView::Painted(bool openGLDrew) {
    if (openGLDrew && m_context.ReadPixels(m_rows)) {
        // Read back as a bottom-up bitmap, which is what PutImage takes.
        m_picture.PutImage(0, 0, m_picture.Width(), m_picture.Height(), m_rows.data());
    }
}

}  // namespace orva
