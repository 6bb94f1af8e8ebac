#include "view/frame_context.h"

#include "view/display_colours.h"
#include "view/draw_surface.h"
#include "view/view_camera.h"

namespace orva {

CMatrix4 ViewportWindowMatrix(int width, int height, double s) {
    CMatrix4 window = CMatrix4::Identity();
    window[0] = static_cast<float>(height * s / 2);
    window[5] = static_cast<float>(-height * s / 2);
    window[12] = static_cast<float>(width / 2.0 - 0.5);
    window[13] = static_cast<float>(height / 2.0 - 0.5);
    return window;
}

CFrameContext::CFrameContext(CViewCamera& camera, CDrawSurface& surface, CInterrupt& interrupt)
    : m_camera(camera), m_surface(surface), m_interrupt(interrupt) {}

CSceneRange CFrameContext::Scene() const {
    return m_camera.scene != nullptr ? WholeScene(*m_camera.scene) : CSceneRange{};
}

int CFrameContext::LastRow() const {
    return m_surface.clipLastRow;
}

void CFrameContext::SetViewport(int x, int y, int width, int height) {
    if (m_backend != nullptr) {
        const int bottom = LastRow() - y - height + 1;
        m_backend->Viewport(x, bottom, width, height);
        m_backend->Scissor(x, bottom, width, height);
    }
}

void CFrameContext::SetScissor(int x, int y, int width, int height) {
    if (m_backend != nullptr) {
        m_backend->Scissor(x, LastRow() - y - height + 1, width, height);
    }
}

void CFrameContext::ResetScissor() {
    if (m_backend != nullptr) {
        m_backend->Scissor(-10000, -10000, 20000, 20000);
    }
}

void CFrameContext::SetProjection(int width, int height, double s) {
    if (m_backend != nullptr) {
        m_backend->Projection(height * s / width, s, 0.02 * s);
    }
    m_window = ViewportWindowMatrix(width, height, s);
}

void CFrameContext::LoadView(const CMatrix4& view) {
    LoadMatrix(view);
    m_viewInverse = Inverse(view);
}

void CFrameContext::LoadMatrix(const CMatrix4& m) {
    if (m_backend != nullptr) {
        m_backend->LoadMatrix(m);
    }
    m_modelView = m;
}

void CFrameContext::MultMatrix(const CMatrix4& m) {
    if (m_backend != nullptr) {
        m_backend->MultMatrix(m);
    }
    m_modelView = Multiply(m, m_modelView);
}

uint32_t CFrameContext::SetColour(uint32_t rgb) {
    if (m_backend != nullptr) {
        m_backend->Colour(rgb);
    }
    const uint32_t previous = m_colour;
    m_colour = rgb;
    return previous;
}

void CFrameContext::SetObjectColour(int32_t state, int32_t colourIndex) {
    SetColour(ObjectColour(state, colourIndex));
}

}  // namespace orva
