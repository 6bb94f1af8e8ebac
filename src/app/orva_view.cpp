#include "app/orva_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <utility>

#include "app/command_ids.h"
#include "app/orva_document.h"
#include "app/view_commands.h"
#include "display/draw_view.h"
#include "display/frame_plan.h"
#include "platform/interrupt.h"
#include "scene/scene_file.h"
#include "view/frame_context.h"
#include "view/navigation.h"
#include "view/zoom_all.h"

namespace orva {

namespace {

bool IsSoftware(EFramePath path) {
    return path == EFramePath::kSoftwareVertexColours || path == EFramePath::kSoftwarePerPixel;
}

EShading SoftwareShading(EFramePath path) {
    return path == EFramePath::kSoftwareVertexColours ? EShading::kVertexColours
                                                      : EShading::kPerPixel;
}

// A picture smaller than the view, filling it: smoothly, so that its pixels do not show as
// blocks while the view turns.
void DrawScaledUp(QPainter& painter, const QImage& picture, const QRect& target) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(target), picture);
}

// A quick shaded picture that takes longer than this is not drawn again below the rows of a
// render that starts: the picture shown stays until the rows replace it, so that the window
// keeps answering on scenes that software OpenGL draws slowly. The frame that starts a render
// also pays for the window's composition (20-30 ms in software OpenGL at 1080p), and the two
// together should stay within 50 ms.
constexpr double kDefaultPreviewBudgetMilliseconds = 25.0;

// The longest a frame's composition holds the render's rows, should the window never report
// the frame as shown.
constexpr std::chrono::milliseconds kLongestRowHold{250};

// How often the rows of a render in progress are shown: often enough to look continuous,
// seldom enough to leave the processor to the render.
constexpr double kRowPaintIntervalMilliseconds = 100.0;

// A finished picture is refined once it has stood still this long: long enough that the
// refinement does not start between the steps of someone still looking around.
constexpr int kDefaultRefineDelayMilliseconds = 400;

// Samples per side of a refined pixel. The renderer takes the extra samples only where a
// pixel sees several surfaces, so the refinement costs a fraction of nine plain pictures.
constexpr int kRefineAntialias = 3;

// The wheel turned by one notch.
constexpr int kWheelNotch = 120;

double MillisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

}  // namespace

COrvaView::COrvaView(COrvaDoc& document, QWidget* parent)
    : QOpenGLWidget(parent),
      m_document(document),
      m_context(*this),
      m_previewBudgetMilliseconds(kDefaultPreviewBudgetMilliseconds),
      m_refineDelayMilliseconds(kDefaultRefineDelayMilliseconds),
      m_turning([this] {
          QMetaObject::invokeMethod(
              this, [this] { TurningFrameArrived(); }, Qt::QueuedConnection);
      }) {
    CViewCamera& camera = Camera();
    camera.scene = &m_document.Scene();
    camera.standardView = 1;
    camera.SetStandardView(1);
    camera.displayMode = kModeRendered;
    setFocusPolicy(Qt::StrongFocus);
    // The frame is kept between paints, so a paint during a render only adds its new rows.
    setUpdateBehavior(QOpenGLWidget::PartialUpdate);
    m_rowPaintTimer.setSingleShot(true);
    connect(&m_rowPaintTimer, &QTimer::timeout, this, [this] { ShowArrivedRows(); });
    m_refineTimer.setSingleShot(true);
    connect(&m_refineTimer, &QTimer::timeout, this, [this] { StartRefine(); });
    // Composing the window is the heaviest thing its thread does while a render runs (tens of
    // milliseconds in software OpenGL, whose own threads do it): the render pauses meanwhile.
    connect(this, &QOpenGLWidget::aboutToCompose, this, [this] {
        if (m_render.Running()) {
            m_canvas.HoldRows(kLongestRowHold);
        }
        if (m_turningDrag) {
            m_turning.HoldRows(kLongestRowHold);
        }
    });
    connect(this, &QOpenGLWidget::frameSwapped, this, [this] {
        m_canvas.ReleaseRows();
        m_turning.ReleaseRows();
    });
    // Rows arrive on render threads; the window thread draws them.
    m_canvas.SetRowsArrived([this] {
        QMetaObject::invokeMethod(
            this, [this] { RowsArrived(); }, Qt::QueuedConnection);
    });
}

COrvaView::~COrvaView() {
    m_turning.Stop();
    m_refine.Stop();
    m_render.Stop();
}

bool COrvaView::RunCommand(int commandId) {
    // Rendering, given again, finishes a picture whose render was stopped.
    if (commandId == kCommandViewRendering && Camera().displayMode == kModeRendered &&
        PictureStopped()) {
        RenderAgain();
        return true;
    }
    return RunViewCommand(commandId, Camera(), [this] { RequestRedraw(false); });
}

void COrvaView::ShowStandardView(int index) {
    if (index < 1 || index > kStandardViewCount) {
        return;
    }
    CViewCamera& camera = Camera();
    camera.standardView = index;
    camera.SetStandardView(index);
    ZoomAllWhenCutOff(camera);
    RequestRedraw(false);
}

void COrvaView::SceneChanged() {
    StopRefine();
    m_render.Stop();
    // The turn's pictures read the old scene until they have stopped.
    m_turning.Stop();
    m_turning.ResetFraction();
    m_turningDrag = false;
    m_turningBelowRows = false;
    m_turningFrame = QImage();
    ++m_sceneGeneration;
    // How quickly the old scene drew says nothing about the new one: its preview is tried.
    m_previewMilliseconds = 0;
    Camera().scene = &m_document.Scene();
    // A piece larger than the view is fitted, once the view knows its size: before the
    // window is first shown it has none.
    m_fitAtPaint = true;
    RequestRedraw(false);
}

void COrvaView::StopRender() {
    StopRefine();
    m_render.Stop();
    // The scene may change next: nothing may render it any more.
    m_turning.Stop();
}

void COrvaView::RenderAgain() {
    m_forceRender = true;
    RequestRedraw(false);
}

bool COrvaView::PictureStopped() const {
    return m_haveRenderedKey && !m_render.Running() && !m_canvas.Complete();
}

void COrvaView::RequestRedraw(bool interactive) {
    // A stopped render made no picture to keep: a picture asked for is rendered anew, even
    // the same one (an expose, which asks for nothing, leaves the stopped rows as they are).
    if (!interactive && PictureStopped()) {
        m_forceRender = true;
    }
    StopRefine();
    // Anything else that asks for a picture (a mode, a command) ends the turn's pictures.
    if (m_turningDrag) {
        EndTurning();
        m_turningBelowRows = false;
    }
    m_interactive = interactive;
    m_wholeFrameNeeded = true;
    ++m_redrawRequests;
    update();
}

int COrvaView::DeviceWidth() const {
    return static_cast<int>(std::lround(width() * devicePixelRatioF()));
}

int COrvaView::DeviceHeight() const {
    return static_cast<int>(std::lround(height() * devicePixelRatioF()));
}

void COrvaView::initializeGL() {
    m_wholeFrameNeeded = true;
    m_frameBlank = true;
}

void COrvaView::resizeGL(int, int) {
    // The running render writes rows of the old size; the next paint renders the new one.
    StopRefine();
    m_render.Stop();
    m_turning.Cancel();
    m_canvas.Resize(DeviceWidth(), DeviceHeight());
    m_wholeFrameNeeded = true;
    m_frameBlank = true;
}

bool COrvaView::OnlyNewRowsToPaint() const {
    return !m_wholeFrameNeeded && m_canvasOnScreen && !m_frameBlank &&
           m_framebuffer == defaultFramebufferObject() && m_canvas.Width() == DeviceWidth() &&
           m_canvas.Height() == DeviceHeight();
}

void COrvaView::paintGL() {
    if (OnlyNewRowsToPaint()) {
        QPainter painter(this);
        m_canvas.DrawNewRows(painter, devicePixelRatioF());
        painter.end();
        DrawEmptyHint();
        return;
    }
    if (m_framebuffer != defaultFramebufferObject()) {
        m_framebuffer = defaultFramebufferObject();
        m_frameBlank = true;
    }
    m_wholeFrameNeeded = false;
    ++m_framesDrawn;
    if (m_turningDrag && !m_turningFrame.isNull()) {
        QPainter painter(this);
        DrawScaledUp(painter, m_turningFrame, rect());
        m_turningFramesShown += std::exchange(m_turningFrameNew, false) ? 1 : 0;
        m_interactive = false;
        m_canvasOnScreen = false;
        m_frameBlank = false;
        return;
    }
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
    if (std::exchange(m_fitAtPaint, false)) {
        ZoomAllWhenCutOff(camera);
    }

    m_showCanvas = false;
    m_context.SetInsidePaint(true);
    // Before the turn's first picture, its frames are the shaded preview as without it.
    Paint(m_interactive || m_turningDrag);
    m_context.SetInsidePaint(false);
    m_interactive = false;

    m_canvasOnScreen = m_showCanvas;
    const bool turningBelow = std::exchange(m_drawTurningBelow, false);
    if (m_showCanvas && (turningBelow || m_canvas.RowsArrived() > 0)) {
        QPainter painter(this);
        if (turningBelow) {
            DrawScaledUp(painter, m_turningFrame, rect());
        }
        m_canvas.Draw(painter, devicePixelRatioF());
    }
    DrawEmptyHint();
    m_frameBlank = false;
}

void COrvaView::DrawEmptyHint() {
    if (m_document.Scene().first != nullptr) {
        return;
    }
    QPainter painter(this);
    // Dark grey on the display's light grey background, whatever the desktop's theme.
    painter.setPen(QColor(80, 80, 80));
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, kEmptyHint);
}

void COrvaView::DrawFrame(CFrameContext& frame) {
    const bool interactive = frame.interactive || frame.Interrupt().Poll();
    const CFramePlan plan = PlanFrame(frame.Camera().displayMode, interactive);
    if (!IsSoftware(plan.path)) {
        // A render nobody sees is stopped, and forgotten: coming back renders it again.
        m_render.Stop();
        m_haveRenderedKey = false;
        const auto start = std::chrono::steady_clock::now();
        DrawView(frame, Context(), Tessellation(), &PictureTessellation());
        if (interactive) {
            m_previewMilliseconds = MillisecondsSince(start);
        }
        return;
    }
    CRenderRequest request =
        MakeRenderRequest(frame.Camera(), frame.Scene(), frame.Surface(),
                          SoftwareShading(plan.path), ThreadsOrCores(frame.renderThreads));
    request.tessellation = &PictureTessellation();
    const CPictureKey key{request, m_sceneGeneration};
    if (m_forceRender || !m_haveRenderedKey || !SamePicture(key, m_renderedKey)) {
        StartRender(key);
    }
    m_showCanvas = true;
    if (!m_canvas.Complete()) {
        DrawPreviewBelowRows(frame);
    }
}

void COrvaView::DrawPreviewBelowRows(CFrameContext& frame) {
    // The turn's last picture is nearer the full one than the shaded preview: it stays.
    if (m_turningBelowRows && !m_turningFrame.isNull()) {
        m_drawTurningBelow = true;
        return;
    }
    // A slow preview is skipped where the frame already shows a picture: the previous one,
    // or the last preview of a drag, which is this very picture.
    if (!m_frameBlank && m_previewMilliseconds > m_previewBudgetMilliseconds) {
        return;
    }
    ++m_previewsBelowRows;
    const auto start = std::chrono::steady_clock::now();
    const bool wasInteractive = std::exchange(frame.interactive, true);
    DrawView(frame, Context(), Tessellation(), &PictureTessellation());
    frame.interactive = wasInteractive;
    m_previewMilliseconds = MillisecondsSince(start);
}

void COrvaView::StartRender(const CPictureKey& key) {
    StopRefine();
    m_render.Stop();
    m_renderedKey = key;
    m_haveRenderedKey = true;
    m_forceRender = false;
    m_canvas.BeginPicture();
    ++m_rendersStarted;
    const int64_t serial = ++m_renderSerial;
    m_renderStart = std::chrono::steady_clock::now();
    // The status changes after this paint: a change made inside it would cost the window a
    // second composition straight after this one.
    QMetaObject::invokeMethod(
        this,
        [this, serial] {
            if (serial == m_renderSerial && m_render.Running()) {
                emit renderProgress(m_canvas.RowsArrived(), m_canvas.Height());
            }
        },
        Qt::QueuedConnection);
    m_render.Start(key.request, [this, serial](const CRenderStats& stats) {
        QMetaObject::invokeMethod(
            this, [this, serial, stats] { RenderDone(serial, stats); }, Qt::QueuedConnection);
    });
}

void COrvaView::RowsArrived() {
    if (m_rowPaintTimer.isActive()) {
        return;
    }
    const double since = MillisecondsSince(m_lastRowPaint);
    const double wait = std::max(0.0, kRowPaintIntervalMilliseconds - since);
    m_rowPaintTimer.start(static_cast<int>(wait));
}

void COrvaView::ShowArrivedRows() {
    m_lastRowPaint = std::chrono::steady_clock::now();
    update();
    emit renderProgress(m_canvas.RowsArrived(), m_canvas.Height());
}

void COrvaView::RenderDone(int64_t serial, const CRenderStats& stats) {
    if (serial != m_renderSerial) {
        return;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - m_renderStart).count();
    m_rowPaintTimer.stop();
    m_turningBelowRows = false;
    m_turningFrame = QImage();
    update();
    emit renderFinished(seconds, stats.interrupted);
    if (!stats.interrupted) {
        ScheduleRefine();
    }
}

void COrvaView::SetRefinePictures(bool refine) {
    m_refinePictures = refine;
    if (!refine) {
        StopRefine();
    } else if (m_haveRenderedKey && !m_render.Running() && m_canvas.Complete()) {
        ScheduleRefine();
    }
}

void COrvaView::ScheduleRefine() {
    if (m_refinePictures) {
        m_refineTimer.start(m_refineDelayMilliseconds);
    }
}

void COrvaView::StartRefine() {
    // Only a whole finished picture that is still the one the view shows is refined.
    if (!m_refinePictures || !m_haveRenderedKey || m_render.Running() || !m_canvas.Complete() ||
        Camera().buttons != 0 || m_renderedKey.request.repaintSet) {
        return;
    }
    m_refine.Stop();
    CRenderRequest request = m_renderedKey.request;
    m_refined = std::make_unique<CImageSurface>(m_canvas.Width(), m_canvas.Height());
    request.surface = m_refined.get();
    request.antialias = kRefineAntialias;
    m_refineBase = m_renderedKey;
    const int64_t serial = ++m_refineSerial;
    ++m_refinesStarted;
    m_refine.Start(request, [this, serial](const CRenderStats& stats) {
        QMetaObject::invokeMethod(
            this, [this, serial, stats] { RefineDone(serial, stats); }, Qt::QueuedConnection);
    });
    emit refineStarted();
}

void COrvaView::RefineDone(int64_t serial, const CRenderStats& stats) {
    if (serial != m_refineSerial || stats.interrupted) {
        return;
    }
    // Whatever made a newer picture gave the refinement up; this is a last guard that the
    // view still shows the very picture that was refined, complete.
    const bool current = m_haveRenderedKey && SamePicture(m_refineBase, m_renderedKey) &&
                         !m_render.Running() && m_canvas.Complete();
    if (current && m_canvas.ReplacePicture(*m_refined)) {
        ++m_refinesShown;
        update();
        emit pictureRefined();
    }
    m_refined.reset();
}

void COrvaView::StopRefine() {
    m_refineTimer.stop();
    ++m_refineSerial;
    m_refine.Stop();
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
    StopRefine();
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
    if (camera.buttons == 0 && m_turningDrag) {
        EndTurning();
    }
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
    const EGesture gesture = ChooseGesture(camera, left, right, ctrl);
    ApplyGesture(camera.CurrentViewport(), gesture, dx, dy);
    m_lastMouse = point;
    if (TurningResolved()) {
        HandTurningCamera();
        return;
    }
    // Moves that arrive before the paint add up into one picture.
    RequestRedraw(true);
}

void COrvaView::SetResolvedWhileTurning(bool resolved) {
    m_resolvedWhileTurning = resolved;
    if (!resolved && m_turningDrag) {
        RequestRedraw(true);
    }
}

bool COrvaView::TurningResolved() {
    const CViewCamera& camera = Camera();
    return m_resolvedWhileTurning && m_document.Scene().first != nullptr &&
           IsSoftware(PlanFrame(camera.displayMode, false).path) &&
           camera.CurrentViewport().width > 0 && camera.CurrentViewport().height > 0;
}

void COrvaView::HandTurningCamera() {
    StopRefine();
    if (!m_turningDrag) {
        // The full picture of the camera left behind is wanted no more.
        m_render.Stop();
        m_haveRenderedKey = false;
        m_turningDrag = true;
        m_turningBelowRows = false;
        m_turningFrame = QImage();
    }
    CViewCamera& camera = Camera();
    CRenderRequest request =
        MakeRenderRequest(camera, WholeScene(m_document.Scene()), m_canvas,
                          SoftwareShading(PlanFrame(camera.displayMode, false).path),
                          ThreadsOrCores(RenderThreads()));
    request.tessellation = &PictureTessellation();
    m_turning.Show(request, camera.CurrentViewport());
}

void COrvaView::TurningFrameArrived() {
    QImage frame = m_turning.TakeFrame();
    if (frame.isNull() || !m_turningDrag) {
        return;
    }
    m_turningFrame = std::move(frame);
    m_turningFrameNew = true;
    m_wholeFrameNeeded = true;
    update();
}

void COrvaView::EndTurning() {
    m_turning.Cancel();
    m_turningDrag = false;
    m_turningFrameNew = false;
    m_turningBelowRows = !m_turningFrame.isNull();
}

void COrvaView::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click starts no drag.
    event->accept();
}

void COrvaView::wheelEvent(QWheelEvent* event) {
    StopRefine();
    CViewCamera& camera = Camera();
    event->accept();
    const int delta = event->angleDelta().y();
    // Touchpads and smooth wheels send parts of a notch: they add up until they make one.
    // Turning the other way starts afresh, so that a notch back is never eaten by a remainder.
    if ((delta > 0 && m_wheelAccumulator < 0) || (delta < 0 && m_wheelAccumulator > 0)) {
        m_wheelAccumulator = 0;
    }
    m_wheelAccumulator += delta;
    const int notches = m_wheelAccumulator / kWheelNotch;
    if (notches == 0) {
        return;
    }
    m_wheelAccumulator -= notches * kWheelNotch;
    const bool ctrl = (event->modifiers() & Qt::ControlModifier) != 0;
    ApplyWheel(camera, notches, ctrl);
    RequestRedraw(camera.displayMode <= kModeShaded);
}

void COrvaView::keyPressEvent(QKeyEvent* event) {
    // Keys typed into the view do nothing; the window's shortcuts (Escape among them) act
    // before the view sees a key. A key still counts as the user acting on the view.
    StopRefine();
    event->accept();
}

}  // namespace orva
