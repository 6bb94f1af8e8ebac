#pragma once

#include <QOpenGLWidget>
#include <QPointF>

#include <chrono>
#include <cstdint>

#include "app/canvas_surface.h"
#include "app/picture_key.h"
#include "app/render_job.h"
#include "app/widget_gl_context.h"
#include "display/gl_view.h"

namespace orva {

class COrvaDoc;

// The 3D view window: the document's scene seen through the view's camera. OpenGL modes are
// drawn in the widget's paint; the rendered modes run on a render thread whose rows appear as
// they finish, over the shaded preview. The mouse navigates the camera.
class COrvaView : public QOpenGLWidget, public CGLView {
    Q_OBJECT

public:
    explicit COrvaView(COrvaDoc& document, QWidget* parent = nullptr);
    ~COrvaView() override;

    // The view's own commands (display mode, Zoom All, Reset View); false for any other id.
    bool RunCommand(int commandId);
    // The document's scene was replaced: the view shows the new one.
    void SceneChanged();
    // Stops the render in progress (its rows stay shown); call before the scene changes.
    void StopRender();
    // Renders the picture again even though nothing it depends on changed.
    void RenderAgain();
    bool RenderRunning() const { return m_render.Running(); }

    CDrawSurface& Surface() override { return m_canvas; }
    CGLContext* Context() override { return &m_context; }
    const CCanvasSurface& Canvas() const { return m_canvas; }

    // Counters for tests and reports: pictures asked for, renders started.
    int RedrawRequests() const { return m_redrawRequests; }
    int RendersStarted() const { return m_rendersStarted; }

signals:
    void renderProgress(int rowsDone, int rows);
    void renderFinished(double seconds, bool interrupted);

protected:
    void resizeGL(int width, int height) override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Asks for a paint; `interactive` draws it as the quick preview.
    void RequestRedraw(bool interactive);
    // The painter of the camera's Redraw while the widget paints.
    void DrawFrame();
    void StartRender(const CPictureKey& key);
    void RowsArrived();
    void RenderDone(int64_t serial, const CRenderStats& stats);
    int DeviceWidth() const;
    int DeviceHeight() const;
    int ButtonBit(Qt::MouseButton button) const;

    COrvaDoc& m_document;
    CCanvasSurface m_canvas;
    CWidgetGLContext m_context;
    CRenderJob m_render;
    CPictureKey m_renderedKey;
    bool m_haveRenderedKey = false;
    bool m_forceRender = false;  // the next rendered-mode paint renders even if nothing changed
    bool m_interactive = false;  // the next paint is a quick preview
    bool m_showCanvas = false;   // the paint under way shows the rendered picture
    int64_t m_sceneGeneration = 0;
    int64_t m_renderSerial = 0;  // tells a finished render from an earlier, stopped one
    std::chrono::steady_clock::time_point m_renderStart;
    QPointF m_lastMouse;  // device pixels
    int m_wheelAccumulator = 0;
    int m_redrawRequests = 0;
    int m_rendersStarted = 0;
};

}  // namespace orva
