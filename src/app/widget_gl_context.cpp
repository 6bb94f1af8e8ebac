#include "app/widget_gl_context.h"

#include <QOpenGLContext>
#include <QOpenGLWidget>

#include <cmath>

namespace orva {

EContextStatus CWidgetGLContext::MakeCurrent() {
    if (m_widget.context() == nullptr || !m_widget.context()->isValid()) {
        return EContextStatus::kNoPixelFormat;
    }
    if (!m_insidePaint) {
        m_widget.makeCurrent();
    }
    return EContextStatus::kCurrent;
}

void CWidgetGLContext::Release() {
    if (!m_insidePaint) {
        m_widget.doneCurrent();
    }
}

int CWidgetGLContext::Width() const {
    return static_cast<int>(std::lround(m_widget.width() * m_widget.devicePixelRatioF()));
}

int CWidgetGLContext::Height() const {
    return static_cast<int>(std::lround(m_widget.height() * m_widget.devicePixelRatioF()));
}

}  // namespace orva
