#pragma once

#include <QOpenGLWidget>
#include <QPointF>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <memory>

#include "app/canvas_surface.h"
#include "app/picture_key.h"
#include "app/render_job.h"
#include "app/turning_preview.h"
#include "app/widget_gl_context.h"
#include "display/gl_view.h"
#include "view/draw_surface.h"

namespace orva {

class COrvaDoc;

// The 3D view window: the document's scene seen through the view's camera. OpenGL modes are
// drawn in the widget's paint; the rendered modes run on a render thread whose rows appear as
// they finish, over the shaded preview. The mouse navigates the camera.
class COrvaView : public QOpenGLWidget, public CGLView {
    Q_OBJECT

public:
    // Standard views 1 to this can be shown by number.
    static constexpr int kStandardViewCount = 6;
    // What an empty view says, over the empty picture.
    static constexpr char kEmptyHint[] = "Open a scene file with Ctrl+O or drop one here";

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
    // Loads standard view `index` (1..kStandardViewCount) with zoom 1 and no pan, or fitted
    // when the piece would be cut off at zoom 1.
    void ShowStandardView(int index);
    bool RenderRunning() const { return m_render.Running(); }
    // The view's size in device pixels: the size of its rendered picture.
    QSize DeviceSize() const { return {DeviceWidth(), DeviceHeight()}; }

    // A finished rendered picture that stands still for a moment is rendered again,
    // anti-aliased, behind the scenes, and shown once done; on by default.
    void SetRefinePictures(bool refine);
    bool RefinePictures() const { return m_refinePictures; }
    // How long a finished picture stands still before it is refined.
    void SetRefineDelay(int milliseconds) { m_refineDelayMilliseconds = milliseconds; }
    bool RefineRunning() const { return m_refine.Running(); }
    // Counters for tests: refinements started, and refined pictures shown.
    int RefinesStarted() const { return m_refinesStarted; }
    int RefinesShown() const { return m_refinesShown; }

    // While the view is dragged in a rendered mode, it shows software pictures of reduced
    // resolution, scaled up, instead of the shaded preview; off by default.
    void SetResolvedWhileTurning(bool resolved);
    bool ResolvedWhileTurning() const { return m_resolvedWhileTurning; }
    // Pictures of a turn shown so far, and the share of the view's pixels the next one has.
    int TurningFramesShown() const { return m_turningFramesShown; }
    double TurningPixelFraction() const { return m_turning.PixelFraction(); }
    // What each picture of a turn is sized to take.
    void SetTurningFrameTarget(double milliseconds) { m_turning.SetFrameTarget(milliseconds); }

    CDrawSurface& Surface() override { return m_canvas; }
    CGLContext* Context() override { return &m_context; }
    const CCanvasSurface& Canvas() const { return m_canvas; }

    // Counters for tests and reports: pictures asked for, renders started, whole frames drawn
    // (the paints that only add a render's new rows are not counted).
    int RedrawRequests() const { return m_redrawRequests; }
    int RendersStarted() const { return m_rendersStarted; }
    int FramesDrawn() const { return m_framesDrawn; }
    // Quick shaded pictures drawn below the rows of a starting render.
    int PreviewsBelowRows() const { return m_previewsBelowRows; }
    // A quick shaded picture slower than this is not drawn below a starting render where the
    // frame already shows a picture.
    void SetPreviewBudget(double milliseconds) { m_previewBudgetMilliseconds = milliseconds; }

signals:
    void renderProgress(int rowsDone, int rows);
    void renderFinished(double seconds, bool interrupted);
    // A refinement started: the picture is being rendered again, anti-aliased.
    void refineStarted();
    void pictureRefined();

protected:
    void initializeGL() override;
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
    // A render was stopped before its picture was complete: the picture is unfinished even
    // though nothing it depends on changed.
    bool PictureStopped() const;
    // Says how to open a file, over the picture of an empty scene.
    void DrawEmptyHint();
    // Whether this paint only has to add the rows that arrived: the frame on screen is the
    // rendered picture in progress and nothing else asked for a new one.
    bool OnlyNewRowsToPaint() const;
    // The painter of the camera's Redraw while the widget paints.
    void DrawFrame(CFrameContext& frame) override;
    // The quick shaded picture below the rows of a render still to come.
    void DrawPreviewBelowRows(CFrameContext& frame);
    // The pictures of a turn: the newest camera handed over, a finished picture shown, and
    // the end of the turn.
    bool TurningResolved();
    void HandTurningCamera();
    void TurningFrameArrived();
    void EndTurning();
    void StartRender(const CPictureKey& key);
    void RowsArrived();
    void ShowArrivedRows();
    void RenderDone(int64_t serial, const CRenderStats& stats);
    // The refinement of the finished picture: waited for, started, shown, or given up when
    // anything happens to the view.
    void ScheduleRefine();
    void StartRefine();
    void RefineDone(int64_t serial, const CRenderStats& stats);
    void StopRefine();
    int DeviceWidth() const;
    int DeviceHeight() const;
    int ButtonBit(Qt::MouseButton button) const;

    COrvaDoc& m_document;
    CCanvasSurface m_canvas;
    CWidgetGLContext m_context;
    CRenderJob m_render;
    CPictureKey m_renderedKey;
    bool m_haveRenderedKey = false;
    bool m_fitAtPaint = false;   // the next paint zooms all when the piece is cut off
    bool m_forceRender = false;  // the next rendered-mode paint renders even if nothing changed
    bool m_interactive = false;  // the next paint is a quick preview
    bool m_showCanvas = false;   // the paint under way shows the rendered picture
    // The widget keeps its frame between paints; these say what that frame holds.
    bool m_wholeFrameNeeded = true;  // something other than a render's rows changed
    bool m_canvasOnScreen = false;   // the frame shows the rendered picture (and rows to come)
    bool m_frameBlank = true;        // a new framebuffer that nothing was drawn into yet
    unsigned m_framebuffer = 0;
    double m_previewMilliseconds = 0;  // how long the last quick shaded picture took
    double m_previewBudgetMilliseconds;
    int64_t m_sceneGeneration = 0;
    int64_t m_renderSerial = 0;  // tells a finished render from an earlier, stopped one
    std::chrono::steady_clock::time_point m_renderStart;
    // Rows are shown at a steady pace, not each time some arrive: every frame shown costs the
    // window's thread a composition of the whole window.
    QTimer m_rowPaintTimer;
    std::chrono::steady_clock::time_point m_lastRowPaint;
    // The refinement renders into a picture of its own, so the one shown stays whole until
    // the refined one replaces it at once.
    CRenderJob m_refine;
    std::unique_ptr<CImageSurface> m_refined;
    CPictureKey m_refineBase;  // the picture being refined
    QTimer m_refineTimer;
    bool m_refinePictures = true;
    int m_refineDelayMilliseconds;
    int64_t m_refineSerial = 0;  // tells the refinement still wanted from one given up
    int m_refinesStarted = 0;
    int m_refinesShown = 0;
    bool m_resolvedWhileTurning = false;
    CTurningPreview m_turning;
    bool m_turningDrag = false;  // the drag under way shows the turning pictures
    QImage m_turningFrame;       // the newest of them, shown by the next paint
    bool m_turningFrameNew = false;
    // The last picture of the turn stays below the rows of the full picture that follows, in
    // place of the shaded preview; m_drawTurningBelow: the paint under way draws it there.
    bool m_turningBelowRows = false;
    bool m_drawTurningBelow = false;
    int m_turningFramesShown = 0;
    QPointF m_lastMouse;  // device pixels
    int m_wheelAccumulator = 0;
    int m_redrawRequests = 0;
    int m_rendersStarted = 0;
    int m_framesDrawn = 0;
    int m_previewsBelowRows = 0;
};

}  // namespace orva
