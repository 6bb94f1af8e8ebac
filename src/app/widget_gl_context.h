#pragma once

#include "platform/gl_context.h"

class QOpenGLWidget;

namespace orva {

// The OpenGL context of the view window. The widget draws into a framebuffer object that Qt
// shows only after the paint has finished, so every frame is effectively drawn out of sight
// and presented whole: choosing a buffer and presenting have nothing left to do.
class CWidgetGLContext final : public CGLContext {
public:
    explicit CWidgetGLContext(QOpenGLWidget& widget) : m_widget(widget) {}

    // Inside the widget's paint the context is already current and must stay so for Qt to
    // show the frame; outside it, a frame makes it current and releases it again.
    void SetInsidePaint(bool inside) { m_insidePaint = inside; }

    EContextStatus MakeCurrent() override;
    void Release() override;
    void SelectDrawBuffer(EDrawBuffer) override {}
    void Present() override {}
    int Width() const override;
    int Height() const override;
    bool ReadPixels(std::vector<uint8_t>&) override { return false; }

private:
    QOpenGLWidget& m_widget;
    bool m_insidePaint = false;
};

}  // namespace orva
