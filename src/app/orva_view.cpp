#include "app/orva_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <cmath>

#include "app/orva_document.h"
#include "app/view_commands.h"
#include "display/draw_view.h"
#include "display/frame_plan.h"
#include "view/interrupt.h"
#include "view/navigation.h"

namespace orva {

namespace {

// RunViewCommand redraws through a plain function; this is the view it addresses meanwhile.
COrvaView* g_commandView = nullptr;

bool IsSoftware(EFramePath path) {
    return path == EFramePath::kSoftwareVertexColours || path == EFramePath::kSoftwarePerPixel;
}

}  // namespace

COrvaView::COrvaView(COrvaDoc& document, QWidget* parent)
    : QOpenGLWidget(parent), m_document(document), m_context(*this) {
    CViewCamera& camera = Camera();
    camera.scene = &m_document.Scene();
    camera.standardView = 1;
    camera.SetStandardView(1);
    camera.displayMode = kModeRendered;
    setFocusPolicy(Qt::StrongFocus);
    // Rows arrive on render threads; the window thread draws them.
    m_canvas.SetRowsArrived([this] {
        QMetaObject::invokeMethod(
            this, [this] { RowsArrived(); }, Qt::QueuedConnection);
    });
}

COrvaView::~COrvaView() {
    m_render.Stop();
}

bool COrvaView::RunCommand(int commandId) {
    g_commandView = this;
    const bool handled = RunViewCommand(commandId, Camera(),
                                        [](CViewCamera&) { g_commandView->RequestRedraw(false); });
    g_commandView = nullptr;
    return handled;
}

void COrvaView::SceneChanged() {
    m_render.Stop();
    ++m_sceneGeneration;
    Camera().scene = &m_document.Scene();
    RequestRedraw(false);
}

void COrvaView::StopRender() {
    m_render.Stop();
}

void COrvaView::RenderAgain() {
    m_forceRender = true;
    RequestRedraw(false);
}

void COrvaView::RequestRedraw(bool interactive) {
    m_interactive = interactive;
    ++m_redrawRequests;
    update();
}

int COrvaView::DeviceWidth() const {
    return static_cast<int>(std::lround(width() * devicePixelRatioF()));
}

int COrvaView::DeviceHeight() const {
    return static_cast<int>(std::lround(height() * devicePixelRatioF()));
}

void COrvaView::resizeGL(int, int) {
    // The running render writes rows of the old size; the next paint renders the new one.
    m_render.Stop();
    m_canvas.Resize(DeviceWidth(), DeviceHeight());
}

void COrvaView::paintGL() {
    const int w = DeviceWidth();
    const int h = DeviceHeight();
    if (m_canvas.Width() != w || m_canvas.Height() != h) {
        m_render.Stop();
        m_canvas.Resize(w, h);
    }
    m_canvas.clipFirstColumn = 0;
    m_canvas.clipLastColumn = w - 1;
    m_canvas.clipFirstRow = 0;
    m_canvas.clipLastRow = h - 1;
    CViewCamera& camera = Camera();
    camera.scene = &m_document.Scene();
    camera.SetViewportRect(0, 0, w, h);
    camera.CurrentViewport().viewSize = camera.viewSize;

    m_showCanvas = false;
    m_context.SetInsidePaint(true);
    const ViewPainter previous = SetViewPainter([this] { DrawFrame(); });
    InteractiveDraw = m_interactive ? 1 : 0;
    Paint();
    InteractiveDraw = 0;
    SetViewPainter(previous);
    m_context.SetInsidePaint(false);
    m_interactive = false;

    if (m_showCanvas) {
        QPainter painter(this);
        m_canvas.Draw(painter, devicePixelRatioF());
    }
}

void COrvaView::DrawFrame() {
    CViewCamera* camera = CurrentCamera();
    if (camera == nullptr) {
        return;
    }
    const bool interactive = InteractiveDraw != 0 || PollInterrupt() != 0;
    const CFramePlan plan = PlanFrame(camera->displayMode, interactive);
    if (!IsSoftware(plan.path)) {
        DrawView();
        return;
    }
    const int mode = plan.path == EFramePath::kSoftwareVertexColours ? 0 : 1;
    const CPictureKey key{CurrentViewRequest(mode), m_sceneGeneration};
    if (m_forceRender || !m_haveRenderedKey || !SamePicture(key, m_renderedKey)) {
        StartRender(key);
    }
    m_showCanvas = true;
    if (!m_canvas.Complete()) {
        // The rows still to come show the quick shaded picture meanwhile.
        InteractiveDraw = 1;
        DrawView();
        InteractiveDraw = 0;
    }
}

void COrvaView::StartRender(const CPictureKey& key) {
    m_render.Stop();
    m_renderedKey = key;
    m_haveRenderedKey = true;
    m_forceRender = false;
    m_canvas.BeginPicture();
    ++m_rendersStarted;
    const int64_t serial = ++m_renderSerial;
    m_renderStart = std::chrono::steady_clock::now();
    emit renderProgress(0, m_canvas.Height());
    m_render.Start(key.request, [this, serial](const CRenderStats& stats) {
        QMetaObject::invokeMethod(
            this, [this, serial, stats] { RenderDone(serial, stats); }, Qt::QueuedConnection);
    });
}

void COrvaView::RowsArrived() {
    update();
    emit renderProgress(m_canvas.RowsArrived(), m_canvas.Height());
}

void COrvaView::RenderDone(int64_t serial, const CRenderStats& stats) {
    if (serial != m_renderSerial) {
        return;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - m_renderStart).count();
    update();
    emit renderFinished(seconds, stats.interrupted);
}

int COrvaView::ButtonBit(Qt::MouseButton button) const {
    if (button == Qt::LeftButton) {
        return 1;
    }
    return button == Qt::RightButton ? 2 : 0;
}

void COrvaView::mousePressEvent(QMouseEvent* event) {
    const int bit = ButtonBit(event->button());
    if (bit == 0) {
        return;
    }
    if (bit == 1) {
        // A left click stops the render, and still starts a drag.
        m_render.Stop();
    }
    Camera().buttons |= bit;
    m_lastMouse = event->position() * devicePixelRatioF();
}

void COrvaView::mouseReleaseEvent(QMouseEvent* event) {
    CViewCamera& camera = Camera();
    const int bit = ButtonBit(event->button());
    if (bit == 0 || (camera.buttons & bit) == 0) {
        return;
    }
    camera.buttons &= ~bit;
    // The full picture replaces the quick previews of the drag.
    if (camera.displayMode > kModeShaded) {
        m_forceRender = true;
        RequestRedraw(false);
    }
}

void COrvaView::mouseMoveEvent(QMouseEvent* event) {
    CViewCamera& camera = Camera();
    if (camera.buttons == 0) {
        return;
    }
    const QPointF point = event->position() * devicePixelRatioF();
    const float dx = static_cast<float>(point.x() - m_lastMouse.x());
    const float dy = static_cast<float>(point.y() - m_lastMouse.y());
    const bool left = (event->buttons() & Qt::LeftButton) != 0;
    const bool right = (event->buttons() & Qt::RightButton) != 0;
    const bool ctrl = (event->modifiers() & Qt::ControlModifier) != 0;
    camera.ApplyView();
    const EGesture gesture = ChooseGesture(camera, left, right, ctrl);
    ApplyGesture(camera.CurrentViewport(), gesture, dx, dy);
    m_lastMouse = point;
    // Moves that arrive before the paint add up into one picture.
    RequestRedraw(true);
}

void COrvaView::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click starts no drag.
    event->accept();
}

void COrvaView::wheelEvent(QWheelEvent* event) {
    CViewCamera& camera = Camera();
    m_wheelAccumulator += event->angleDelta().y();
    const int notches = m_wheelAccumulator / 120;
    const bool ctrl = (event->modifiers() & Qt::ControlModifier) != 0;
    ApplyWheel(camera, notches, ctrl);
    // Less than a notch left over is dropped once a step was handled.
    m_wheelAccumulator = 0;
    RequestRedraw(camera.displayMode <= kModeShaded);
    event->accept();
}

void COrvaView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        m_render.Stop();
    }
    event->accept();
}

}  // namespace orva
