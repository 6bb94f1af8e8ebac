#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QWheelEvent>
#include <QWindow>

#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/about_box.h"
#include "app/canvas_surface.h"
#include "app/command_ids.h"
#include "app/elided_label.h"
#include "app/export_dialog.h"
#include "app/gl_format.h"
#include "app/jewel_report_window.h"
#include "app/keys_and_mouse_window.h"
#include "app/main_frame.h"
#include "app/orva_view.h"
#include "app/picture_save_job.h"
#include "app/qt_message_box.h"
#include "app/save_picture_dialog.h"
#include "app/scene_file_chooser.h"
#include "app/viewer_session.h"
#include "app/window_placement.h"
#include "browser/data_directory.h"
#include "image/picture_writer.h"
#include "measure/jewel_report_text.h"
#include "platform/message_box.h"
#include "platform/module_directory.h"
#include "render/render_scene.h"
#include "scene_bytes.h"
#include "view/draw_surface.h"
#include "view/view_camera.h"
#include "view/zoom_all.h"

namespace orva {

namespace {

using test::json;

const std::string kSamples = ORVA_SAMPLES_DIR;

std::string CurveFile(const std::string& name, const json& points) {
    return test::WriteTempFile(
        name, test::SceneBytes(json::array({{{"type", "curve"}, {"points", points}}})));
}

void SendMouse(QWidget& widget, QEvent::Type type, QPointF at, Qt::MouseButton button,
               Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QMouseEvent event(type, at, widget.mapToGlobal(at), button, buttons, modifiers);
    QApplication::sendEvent(&widget, &event);
}

void SendWheel(QWidget& widget, int delta, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const QPointF at(10, 10);
    QWheelEvent event(at, widget.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&widget, &event);
}

// Whether every pixel on the picture's edges is the background of its corner: nothing of the
// piece is cut off by the view.
bool EdgesAreBackground(const QImage& picture) {
    const QRgb background = picture.pixel(0, 0);
    const int w = picture.width();
    const int h = picture.height();
    for (int x = 0; x < w; ++x) {
        if (picture.pixel(x, 0) != background || picture.pixel(x, h - 1) != background) {
            return false;
        }
    }
    for (int y = 0; y < h; ++y) {
        if (picture.pixel(0, y) != background || picture.pixel(w - 1, y) != background) {
            return false;
        }
    }
    return true;
}

// The entries of a menu and of its submenus.
void CollectMenuActions(const QMenu& menu, std::vector<QAction*>& actions) {
    for (QAction* action : menu.actions()) {
        if (action->menu() != nullptr) {
            CollectMenuActions(*action->menu(), actions);
        } else if (!action->isSeparator()) {
            actions.push_back(action);
        }
    }
}

// The share, in percent, of the coloured pixels of a picture that are yellow: red and green
// well above blue. A yellow gold piece rendered with its material is mostly yellow; drawn in
// its pink layer colour (green and blue alike) it has next to none.
int YellowPercent(const QImage& picture) {
    int coloured = 0;
    int yellow = 0;
    for (int y = 0; y < picture.height(); y += 2) {
        for (int x = 0; x < picture.width(); x += 2) {
            const QRgb p = picture.pixel(x, y);
            const int r = qRed(p), g = qGreen(p), b = qBlue(p);
            if (std::max({r, g, b}) - std::min({r, g, b}) < 24) {
                continue;  // the grey background, white highlights, black shadows
            }
            ++coloured;
            yellow += g - b >= 24 && r >= g ? 1 : 0;
        }
    }
    return coloured < 200 ? -1 : yellow * 100 / coloured;
}

// The share, in per mille, of the pixels of two pictures of one size whose colours are far
// apart.
int FarPerMille(const QImage& a, const QImage& b) {
    int far = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            far += std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                             std::abs(qBlue(p) - qBlue(q))}) > 64
                       ? 1
                       : 0;
        }
    }
    return int(int64_t(far) * 1000 / (int64_t(a.width()) * a.height()));
}

bool NearMatrix(const CMatrix4& a, const CMatrix4& b, float tolerance = 1e-4f) {
    for (int i = 0; i < 16; ++i) {
        if (std::fabs(a[i] - b[i]) > tolerance) {
            return false;
        }
    }
    return true;
}

}  // namespace

class ViewerWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void startsUntitledWithFiveToolbarButtons();
    void theFlagSetsTheDataDirectory();
    void aFileThatCannotBeTakenLeavesTheShownModel();
    void startUpMessagesAppearOverTheMainWindow();
    void openFileAsksTheChooser();
    void modeCommandsRedrawOnlyOnChange();
    void leftDragRotatesByTheViewportHeight();
    void ctrlLeftDragPansWithTheMouse();
    void rightDragUpZooms();
    void ctrlRightDragRollsByTheLargerComponent();
    void wheelAddsPartsOfANotchUpToANotch();
    void zoomAllAndResetView();
    void renderRowsReachTheCanvas();
    void rowsInProgressArePaintedOverTheKeptFrame();
    void theCanvasDrawsOnlyNewRowsWhenAsked();
    void aNewPictureAnnouncesItsFirstRows();
    void rowsWaitWhileTheWindowHoldsThem();
    void aSlowPreviewIsSkippedUnderARenderButTriedForANewScene();
    void wireframeStopsTheRenderAndRenderingStartsItAgain();
    void escapeStopsTheRenderAndKeepsItsRows();
    void aLeftClickStopsTheRenderAndStartsADrag();
    void aResizeRendersAgainButAnExposeDoesNot();
    void screenshotsOfTheSample();
    void aDroppedSceneFileIsRecognised();
    void aDropOnTheWindowOpensTheFile();
    void ctrlOAsksForAFileAndCtrlSSavesThePicture();
    void theStatusBarSaysHowLongTheRenderTook();
    void theStatusBarShowsProgressWhileRendering();
    void theIdleTextIsShortenedInANarrowWindow();
    void theWindowOpensCentredAndKeepsItsPlace();
    void aStoppedRenderStartsAgainOnACommandAndEscapeStopsItAnywhere();
    void numberKeysFullScreenAndTheEmptyViewsHint();
    void aPictureIsSavedAtAnotherSizeWithATransparentBackground();
    void aStillPictureIsRefinedUntilInputAndTheSettingIsKept();
    void ctrlIReportsTheSceneAndWeighsItInAnotherAlloyWithoutMeasuringAgain();
    void theReportWindowSaysWhatTheTextSays();
    void savePdfWritesThePageBesideTheScene();
    void aFifoOrADeviceIsRefusedAtOnce();
    void exportWritesTheMetalAsOneSoundShellAndCancelLeavesNoFile();
    void exportWritesTheShopPageAndOffersItAgain();
    void aPieceCutOffIsFittedOnOpenResetAndTheStandardViews();
    void everyToolbarCommandIsInAMenuWithItsKeysAndHelpListsThemAll();
    void fullScreenIsNeverKeptAsTheNormalPlaceAndARestoredWindowStaysOnScreen();
    void aTurnResolvedShowsRenderedPicturesAndEndsOnThePictureWithoutIt();

private:
    // A shown session of a fixed size, not maximised, so picture sizes are known.
    CViewerSession& Start(const std::vector<std::string>& arguments = {});
    // A session without a file, placed and shown as the program does it.
    CMainFrame* StartAsTheProgramDoes();
    COrvaView& View() { return m_session->MainFrame().View(); }
    CViewCamera& Camera() { return View().Camera(); }
    // Waits for a render started after `rendersBefore` renders to finish.
    void WaitForRender(int rendersBefore = 0);
    // Resizes the main window and waits until the view has its new size.
    void ResizeTo(int width, int height);
    // The solitaire ring rendered large on one thread after Zoom All, so that the render is
    // still running when the test acts on it; returns once it runs.
    void StartLongRender();
    // Presses Ctrl+S, lets `choose` set the picture dialog, and answers the file chooser with
    // `answer`, telling in `pngOnly` whether it offered only PNG; waits for the picture to be
    // saved and returns the status bar's message.
    QString SaveWithShortcut(const QString& answer,
                             const std::function<void(CSavePictureDialog&)>& choose, bool* pngOnly);
    // Runs File ▸ Export…, letting `choose` set the dialog, answers the file dialog with
    // `answer` (telling in `suggested` what it offered) and returns once the export has started.
    void ExportWithMenu(const QString& answer, const std::function<void(CExportDialog&)>& choose,
                        std::string* suggested);
    // The jeweller's report on the open scene, measured here rather than by the window.
    CJewelReport MeasureOpenScene(const CAlloy* alloy);

    std::unique_ptr<CViewerSession> m_session;
    std::vector<std::string> m_messages;
    MessageHandler m_previousHandler;
};

void ViewerWindowTest::init() {
    m_messages.clear();
    m_previousHandler =
        SetMessageHandler([this](const std::string& text) { m_messages.push_back(text); });
}

void ViewerWindowTest::cleanup() {
    m_session.reset();
    SetMessageHandler(m_previousHandler);
}

CViewerSession& ViewerWindowTest::Start(const std::vector<std::string>& arguments) {
    m_session = std::make_unique<CViewerSession>(arguments);
    CMainFrame& frame = m_session->MainFrame();
    frame.resize(640, 480);
    frame.show();
    if (!QTest::qWaitForWindowExposed(&frame)) {
        qFatal("the main window was never shown");
    }
    return *m_session;
}

CMainFrame* ViewerWindowTest::StartAsTheProgramDoes() {
    m_session = std::make_unique<CViewerSession>(std::vector<std::string>{});
    m_session->Show();
    if (!QTest::qWaitForWindowExposed(&m_session->MainFrame())) {
        qFatal("the main window was never shown");
    }
    return &m_session->MainFrame();
}

void ViewerWindowTest::WaitForRender(int rendersBefore) {
    QTRY_VERIFY_WITH_TIMEOUT(View().RendersStarted() > rendersBefore && !View().RenderRunning(),
                             60000);
    QCoreApplication::processEvents();
}

void ViewerWindowTest::ResizeTo(int width, int height) {
    CMainFrame& frame = m_session->MainFrame();
    frame.resize(width, height);
    QTRY_COMPARE(frame.size(), QSize(width, height));
    QTest::qWait(50);
}

void ViewerWindowTest::StartLongRender() {
    Start({kSamples + "solitaire_ring.orv"});
    // Keys reach the window's shortcuts only while it is active.
    m_session->MainFrame().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&m_session->MainFrame()));
    View().SetRenderThreads(1);
    ResizeTo(1900, 1150);
    const int started = View().RendersStarted();
    m_session->MainFrame().RunCommand(kCommandViewZoomAll);
    QTRY_VERIFY(View().RendersStarted() > started && View().RenderRunning());
}

void ViewerWindowTest::startsUntitledWithFiveToolbarButtons() {
    CMainFrame& frame = Start().MainFrame();
    QCOMPARE(frame.windowTitle(), QString("Orvatrix Viewer - Untitled"));
    // The menus hold what the toolbar leaves out.
    QCOMPARE(frame.SavePictureAction().shortcut(), QKeySequence(QKeySequence::Save));
    QVERIFY(frame.RefinePicturesAction().isCheckable());
    QStringList menus;
    for (QAction* menu : frame.menuBar()->actions()) {
        menus << menu->text();
    }
    QCOMPARE(menus, QStringList({"&File", "&View", "&Tools", "&Help"}));
    const std::vector<QAction*>& actions = frame.ToolbarActions();
    // The buttons' names, with the keys that do the same.
    const QStringList tips{"Open File (Ctrl+O)", "Wireframe (W)", "Rendering (R)",
                           "Zoom All (A, Home)", "Reset View (0)"};
    const std::vector<int> ids{kCommandOpenFile, kCommandViewWireframe, kCommandViewRendering,
                               kCommandViewZoomAll, kCommandViewReset};
    QCOMPARE(actions.size(), size_t(5));
    QCOMPARE(frame.findChild<QToolBar*>()->actions().size(), 5);  // the shortcuts are not there
    for (size_t i = 0; i < actions.size(); ++i) {
        QCOMPARE(actions[i]->toolTip(), tips[int(i)]);
        QCOMPARE(actions[i]->data().toInt(), ids[i]);
        QVERIFY(actions[i]->isEnabled());
        QVERIFY(!actions[i]->isCheckable());
        QVERIFY(actions[i]->statusTip().isEmpty());
        QVERIFY(!actions[i]->icon().isNull());
    }
    QCOMPARE(frame.IdleText().text(), QString(kIdleStatusText));
    QCOMPARE(Camera().standardView, 1);
    QCOMPARE(Camera().CurrentViewport().zoom, 1.0f);
    QCOMPARE(Camera().displayMode, int(kModeRendered));
    CViewport standard;
    standard.SetAxes(0, 2, 1, 1, 1, -1);
    QVERIFY(NearMatrix(Camera().CurrentViewport().view, standard.view));
}

void ViewerWindowTest::theFlagSetsTheDataDirectory() {
    const std::string previous = orva::DataDirectory();
    SetDataDirectory("");
    QCOMPARE(CViewerSession({}).DataDirectory(), std::string());
    QCOMPARE(orva::DataDirectory(), std::string());
    // The Open File browser looks there: the program folder followed by "../OrvData".
    QCOMPARE(CViewerSession({"-l"}).DataDirectory(), std::string("../OrvData"));
    QCOMPARE(orva::DataDirectory(), std::string("../OrvData"));
    QCOMPARE(GetDataDirectory(), GetModuleDirectory() + "../OrvData");
    SetDataDirectory(previous);
}

void ViewerWindowTest::aFileThatCannotBeTakenLeavesTheShownModel() {
    const std::string good = CurveFile("window_good.orv", {{0, 0, 0}, {1, 1, 1}});
    CMainFrame& frame = Start({good}).MainFrame();
    const QString goodTitle("Orvatrix Viewer - window_good.orv");
    QCOMPARE(frame.windowTitle(), goodTitle);
    const CSceneObject* shown = m_session->Document().Scene().first;
    QVERIFY(shown != nullptr);
    const int redraws = View().RedrawRequests();

    // Missing, a folder (dropped, as its name ends in .orv) and not a scene: each says so,
    // and the model, the title and the view stay.
    frame.OpenFile("/nonexistent/missing_ring.orv");
    const QString folder = QDir::temp().filePath("window_folder.orv");
    QDir().mkpath(folder);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(folder)});
    const QPoint at = View().geometry().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&frame, &enter);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&frame, &drop);
    const std::string bad = test::WriteTempFile("window_bad.orv", {'n', 'o', 't', ' ', 'a'});
    frame.OpenFile(bad);
    const std::vector<std::string> expected{
        "Cannot open /nonexistent/missing_ring.orv: No such file or directory",
        "Cannot open " + folder.toStdString() + ": Is a directory", "Invalid file format!\n" + bad};
    QCOMPARE(m_messages, expected);
    QDir().rmdir(folder);
    QCOMPARE(frame.windowTitle(), goodTitle);
    QCOMPARE(m_session->Document().Scene().first, shown);
    QCOMPARE(View().RedrawRequests(), redraws);

    // A file cut off after three objects shows them and says that it ends early.
    std::vector<uint8_t> cut = test::SceneBytes(json::array({
        {{"type", "curve"}, {"points", {{0, 0, 0}, {1, 0, 0}}}},
        {{"type", "curve"}, {"points", {{0, 1, 0}, {1, 1, 0}}}},
        {{"type", "curve"}, {"points", {{0, 2, 0}, {1, 2, 0}}}},
        {{"type", "curve"}, {"points", {{0, 3, 0}, {1, 3, 0}}}},
    }));
    cut.resize(cut.size() - 20);
    frame.OpenFile(test::WriteTempFile("window_cut.orv", cut));
    QCOMPARE(m_session->Document().Scene().Count(), 3);
    QCOMPARE(frame.statusBar()->currentMessage(), QString("The file ends early: 3 objects shown"));
    frame.OpenFile(good);
    QVERIFY(frame.statusBar()->currentMessage().isEmpty());
}

void ViewerWindowTest::startUpMessagesAppearOverTheMainWindow() {
    InstallMessageBoxes();
    struct CShownBox {
        QWidget* parent;
        QString caption;
        QString text;
        int width;
    };
    std::vector<CShownBox> boxes;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box != nullptr && box->isVisible()) {
            boxes.push_back({box->parentWidget(), box->windowTitle(), box->text(), box->width()});
            box->accept();
        }
    });
    watch.start(20);
    m_session =
        std::make_unique<CViewerSession>(std::vector<std::string>{"/nonexistent/startup_ring.orv"});
    const bool shownBeforeTheWindow = !boxes.empty();
    m_session->Show();
    // A short text still leaves room for the whole caption.
    ShowMessage("OK");
    watch.stop();
    SetCaptionedMessageHandler(nullptr);
    QVERIFY(!shownBeforeTheWindow);
    QCOMPARE(boxes.size(), size_t(2));
    QCOMPARE(boxes[0].parent, &m_session->MainFrame());
    QCOMPARE(boxes[0].caption, QString(kApplicationName));
    QVERIFY(boxes[0].text.contains("/nonexistent/startup_ring.orv"));
    // The title bar's buttons take some 100 pixels beside the caption.
    const int captionWidth =
        m_session->MainFrame().fontMetrics().horizontalAdvance(kApplicationName);
    QVERIFY(boxes[1].width >= captionWidth + 100);
    QCOMPARE(m_session->MainFrame().windowTitle(), QString("Orvatrix Viewer - Untitled"));
}

void ViewerWindowTest::openFileAsksTheChooser() {
    const std::string good = CurveFile("window_chosen.orv", {{0, 0, 0}, {1, 1, 1}});
    CMainFrame& frame = Start().MainFrame();
    int asked = 0;
    const SceneFileChooser previous = SetSceneFileChooser([&](QWidget*) {
        ++asked;
        return asked == 1 ? std::string() : good;
    });
    frame.ToolbarActions()[0]->trigger();  // cancelled
    QCOMPARE(frame.windowTitle(), QString("Orvatrix Viewer - Untitled"));
    frame.ToolbarActions()[0]->trigger();
    QCOMPARE(asked, 2);
    QCOMPARE(frame.windowTitle(), QString("Orvatrix Viewer - window_chosen.orv"));
    SetSceneFileChooser(previous);
}

void ViewerWindowTest::modeCommandsRedrawOnlyOnChange() {
    CMainFrame& frame = Start().MainFrame();
    const int before = View().RedrawRequests();
    frame.ToolbarActions()[1]->trigger();
    frame.ToolbarActions()[1]->trigger();
    QCOMPARE(Camera().displayMode, int(kModeWireframe));
    QCOMPARE(View().RedrawRequests(), before + 1);
    frame.ToolbarActions()[2]->trigger();
    frame.ToolbarActions()[2]->trigger();
    QCOMPARE(Camera().displayMode, int(kModeRendered));
    QCOMPARE(View().RedrawRequests(), before + 2);
    QVERIFY(!frame.ToolbarActions()[1]->isChecked());
}

void ViewerWindowTest::leftDragRotatesByTheViewportHeight() {
    Start();
    m_session->MainFrame().RunCommand(kCommandViewWireframe);
    COrvaView& view = View();
    const float h = float(view.height() * view.devicePixelRatioF());
    CViewport expected = Camera().CurrentViewport();
    expected.Rotate(0, 100.0f);  // a full-height drag downward

    SendMouse(view, QEvent::MouseButtonPress, QPointF(50, 0), Qt::LeftButton, Qt::LeftButton);
    SendMouse(view, QEvent::MouseMove, QPointF(50, view.height()), Qt::NoButton, Qt::LeftButton);
    SendMouse(view, QEvent::MouseButtonRelease, QPointF(50, view.height()), Qt::LeftButton,
              Qt::NoButton);
    QCOMPARE(Camera().standardView, 0);
    QVERIFY(NearMatrix(Camera().CurrentViewport().view, expected.view));
    QCOMPARE(Camera().buttons, 0);
    QVERIFY(h > 0);
}

void ViewerWindowTest::ctrlLeftDragPansWithTheMouse() {
    Start();
    m_session->MainFrame().RunCommand(kCommandViewWireframe);
    COrvaView& view = View();
    CViewport& viewport = Camera().CurrentViewport();
    viewport.zoom = 2.0f;
    const float h = float(view.height() * view.devicePixelRatioF());
    // View units per pixel: the visible height is 2 x view size / zoom.
    const float unitsPerPixel = 2.0f * kViewSize / h / 2.0f;
    const float panX = viewport.view[12];
    const float panY = viewport.view[13];
    SendMouse(view, QEvent::MouseButtonPress, QPointF(100, 100), Qt::LeftButton, Qt::LeftButton,
              Qt::ControlModifier);
    SendMouse(view, QEvent::MouseMove, QPointF(130, 80), Qt::NoButton, Qt::LeftButton,
              Qt::ControlModifier);
    QVERIFY(std::fabs(viewport.view[12] - (panX + 30 * unitsPerPixel)) < 1e-4f);
    QVERIFY(std::fabs(viewport.view[13] - (panY + 20 * unitsPerPixel)) < 1e-4f);
    QCOMPARE(Camera().standardView, 1);  // a pan keeps the standard view
}

void ViewerWindowTest::rightDragUpZooms() {
    Start();
    m_session->MainFrame().RunCommand(kCommandViewWireframe);
    COrvaView& view = View();
    SendMouse(view, QEvent::MouseButtonPress, QPointF(100, 100), Qt::RightButton, Qt::RightButton);
    SendMouse(view, QEvent::MouseMove, QPointF(100, 80), Qt::NoButton, Qt::RightButton);
    QCOMPARE(Camera().CurrentViewport().zoom, float(std::pow(1.100000023841858, 1.0)));
}

void ViewerWindowTest::ctrlRightDragRollsByTheLargerComponent() {
    Start();
    m_session->MainFrame().RunCommand(kCommandViewWireframe);
    COrvaView& view = View();
    const float degreesPerPixel = 100.0f / float(view.height() * view.devicePixelRatioF());
    const auto drag = [&](QPointF from, QPointF to) {
        SendMouse(view, QEvent::MouseButtonPress, from, Qt::RightButton, Qt::RightButton,
                  Qt::ControlModifier);
        SendMouse(view, QEvent::MouseMove, to, Qt::NoButton, Qt::RightButton, Qt::ControlModifier);
        SendMouse(view, QEvent::MouseButtonRelease, to, Qt::RightButton, Qt::NoButton,
                  Qt::ControlModifier);
    };
    CViewport& viewport = Camera().CurrentViewport();
    const float zoom = viewport.zoom;

    // Mostly sideways: the horizontal amount.
    CViewport expected = viewport;
    expected.Rotate(2, 40 * degreesPerPixel);
    drag(QPointF(100, 100), QPointF(140, 90));
    QCOMPARE(Camera().standardView, 0);
    QVERIFY(NearMatrix(viewport.view, expected.view));
    // Mostly upward: the vertical amount, with its sign.
    expected.Rotate(2, -30 * degreesPerPixel);
    drag(QPointF(100, 100), QPointF(90, 70));
    QVERIFY(NearMatrix(viewport.view, expected.view));
    // Exactly diagonal counts as vertical.
    expected.Rotate(2, 20 * degreesPerPixel);
    drag(QPointF(100, 100), QPointF(80, 120));
    QVERIFY(NearMatrix(viewport.view, expected.view));
    QCOMPARE(viewport.zoom, zoom);  // a roll never zooms
}

void ViewerWindowTest::wheelAddsPartsOfANotchUpToANotch() {
    Start();
    m_session->MainFrame().RunCommand(kCommandViewWireframe);
    CViewport& viewport = Camera().CurrentViewport();
    const auto zoomIs = [&](int notches) {
        return std::fabs(viewport.zoom - float(std::pow(1.1, notches))) < 1e-5f;
    };
    SendWheel(View(), 120);
    QVERIFY(zoomIs(1));
    SendWheel(View(), 60);  // half a notch waits for the other half
    QVERIFY(zoomIs(1));
    SendWheel(View(), 60);
    QVERIFY(zoomIs(2));
    for (int part = 0; part < 3; ++part) {
        SendWheel(View(), 40);
    }
    QVERIFY(zoomIs(3));
    // A mouse wheel's notch after a part is one notch, the part kept for later.
    SendWheel(View(), 30);
    SendWheel(View(), 120);
    QVERIFY(zoomIs(4));
    SendWheel(View(), 90);
    QVERIFY(zoomIs(5));
    // Turning back, a notch is a notch: what was left the other way does not eat it.
    SendWheel(View(), 60);
    SendWheel(View(), -120);
    QVERIFY(zoomIs(4));
    SendWheel(View(), -240);
    QVERIFY(zoomIs(2));
    QCOMPARE(Camera().standardView, 1);
    CViewport rolled = viewport;
    rolled.Rotate(2, 10.0f);
    SendWheel(View(), 120, Qt::ControlModifier);
    QCOMPARE(Camera().standardView, 0);
    QVERIFY(NearMatrix(viewport.view, rolled.view));
}

void ViewerWindowTest::zoomAllAndResetView() {
    const std::string box = CurveFile("window_box.orv", {{-2, -1, 0}, {2, 1, 10}});
    CMainFrame& frame = Start({box}).MainFrame();
    frame.RunCommand(kCommandViewWireframe);
    frame.RunCommand(kCommandViewZoomAll);
    CViewport& viewport = Camera().CurrentViewport();
    QVERIFY(std::fabs(viewport.zoom - 5.0f) < 1e-4f);
    // Standard view 1 sees model (x, y, z) at (x, z, -y): the centre (0, 0, 5) moves to 0.
    QVERIFY(std::fabs(viewport.view[13] + 5.0f) < 1e-4f);

    SendMouse(View(), QEvent::MouseButtonPress, QPointF(10, 10), Qt::LeftButton, Qt::LeftButton);
    SendMouse(View(), QEvent::MouseMove, QPointF(60, 40), Qt::NoButton, Qt::LeftButton);
    SendMouse(View(), QEvent::MouseButtonRelease, QPointF(60, 40), Qt::LeftButton, Qt::NoButton);
    frame.RunCommand(kCommandViewReset);
    CViewport standard;
    standard.SetAxes(0, 2, 1, 1, 1, -1);
    QCOMPARE(viewport.zoom, 1.0f);
    QVERIFY(NearMatrix(viewport.view, standard.view));
}

void ViewerWindowTest::renderRowsReachTheCanvas() {
    Start({kSamples + "solitaire_ring.orv"});
    const int renders = View().RendersStarted();
    m_session->MainFrame().RunCommand(kCommandViewZoomAll);
    WaitForRender(renders);
    const CCanvasSurface& canvas = View().Canvas();
    QVERIFY(canvas.Complete());

    // The same picture rendered here, without the window.
    CImageSurface expected(canvas.Width(), canvas.Height());
    const CViewCamera& camera = Camera();
    RenderPicture(
        MakeRenderRequest(camera, WholeScene(*camera.scene), expected, EShading::kPerPixel, 2));

    const QImage image = canvas.Image().convertToFormat(QImage::Format_BGR888);
    int different = 0;
    for (int y = 0; y < expected.Height(); ++y) {
        QVERIFY(std::memcmp(image.constScanLine(y), expected.Row(y),
                            size_t(expected.Width()) * 3) == 0 ||
                ++different < 0);
    }
    QCOMPARE(different, 0);
}

void ViewerWindowTest::rowsInProgressArePaintedOverTheKeptFrame() {
    Start({kSamples + "solitaire_ring.orv"});
    View().SetRenderThreads(1);
    ResizeTo(1900, 1150);
    WaitForRender();
    const int renders = View().RendersStarted();
    const int frames = View().FramesDrawn();
    View().RenderAgain();
    WaitForRender(renders);
    // One whole frame started the render; after it the rows were shown as they came, each
    // paint adding its rows to the frame kept on screen.
    QCOMPARE(View().FramesDrawn(), frames + 1);
    QVERIFY(View().Canvas().Complete());
    // What is on screen is the finished picture, row for row.
    const QImage shown = View().grabFramebuffer().convertToFormat(QImage::Format_RGB888);
    const QImage rendered = View().Canvas().Image().convertToFormat(QImage::Format_RGB888);
    QCOMPARE(shown.size(), rendered.size());
    int differentRows = 0;
    for (int y = 0; y < shown.height(); ++y) {
        differentRows += std::memcmp(shown.constScanLine(y), rendered.constScanLine(y),
                                     size_t(shown.width()) * 3) != 0
                             ? 1
                             : 0;
    }
    QCOMPARE(differentRows, 0);
}

void ViewerWindowTest::theCanvasDrawsOnlyNewRowsWhenAsked() {
    CCanvasSurface canvas;
    canvas.Resize(4, 6);
    canvas.BeginPicture();
    const auto putRow = [&](int row, uint8_t value) {
        std::vector<uint8_t> bits(16, value);  // one 4-pixel row, padded to 4 bytes
        canvas.PutImage(0, row, 4, 1, bits.data());
    };
    const auto drawnRows = [&](bool onlyNew) {
        QImage target(4, 6, QImage::Format_RGB888);
        target.fill(Qt::black);
        QPainter painter(&target);
        onlyNew ? canvas.DrawNewRows(painter, 1.0) : canvas.Draw(painter, 1.0);
        painter.end();
        std::vector<int> rows;
        for (int y = 0; y < 6; ++y) {
            if (target.pixelColor(0, y) != QColor(Qt::black)) {
                rows.push_back(y);
            }
        }
        return rows;
    };
    putRow(1, 200);
    putRow(2, 200);
    QCOMPARE(drawnRows(true), (std::vector<int>{1, 2}));
    QCOMPARE(drawnRows(true), std::vector<int>{});
    putRow(4, 100);
    QCOMPARE(drawnRows(true), std::vector<int>{4});
    // A whole draw shows every row of the picture; a new picture starts with none.
    QCOMPARE(drawnRows(false), (std::vector<int>{1, 2, 4}));
    canvas.BeginPicture();
    putRow(0, 50);
    QCOMPARE(drawnRows(true), std::vector<int>{0});
    QCOMPARE(drawnRows(false), std::vector<int>{0});
}

void ViewerWindowTest::aNewPictureAnnouncesItsFirstRows() {
    CCanvasSurface canvas;
    canvas.Resize(4, 3);
    int announced = 0;
    canvas.SetRowsArrived([&] { ++announced; });
    const std::vector<uint8_t> bits(16, 90);
    canvas.BeginPicture();
    canvas.PutImage(0, 0, 4, 1, bits.data());
    canvas.PutImage(0, 1, 4, 1, bits.data());
    // Until the window draws, more rows add nothing to the queue.
    QCOMPARE(announced, 1);
    // A render stopped before its last rows were drawn must not silence the next picture.
    canvas.BeginPicture();
    canvas.PutImage(0, 2, 4, 1, bits.data());
    QCOMPARE(announced, 2);
    QImage target(4, 3, QImage::Format_RGB32);
    QPainter painter(&target);
    canvas.DrawNewRows(painter, 1.0);
    painter.end();
    canvas.PutImage(0, 0, 4, 1, bits.data());
    QCOMPARE(announced, 3);
}

void ViewerWindowTest::rowsWaitWhileTheWindowHoldsThem() {
    using Clock = std::chrono::steady_clock;
    CCanvasSurface canvas;
    canvas.Resize(4, 2);
    const std::vector<uint8_t> bits(16, 90);
    // Held: the row is taken in, and the delivering thread waits until the release. The hold
    // outlasts the test's time limit, so only the release can let the thread finish.
    canvas.HoldRows(std::chrono::hours(1));
    std::atomic<bool> delivered{false};
    std::thread render([&] {
        canvas.PutImage(0, 0, 4, 1, bits.data());
        delivered = true;
    });
    QTRY_COMPARE(canvas.RowsArrived(), 1);
    QTest::qWait(50);
    QVERIFY(!delivered);
    canvas.ReleaseRows();
    render.join();
    QVERIFY(delivered);
    // Released rows flow freely; a hold that is never released ends by itself.
    canvas.PutImage(0, 1, 4, 1, bits.data());
    const Clock::time_point held = Clock::now();
    canvas.HoldRows(std::chrono::milliseconds(30));
    canvas.PutImage(0, 1, 4, 1, bits.data());
    QVERIFY(Clock::now() - held >= std::chrono::milliseconds(30));
    QCOMPARE(canvas.RowsArrived(), 2);
}

void ViewerWindowTest::aSlowPreviewIsSkippedUnderARenderButTriedForANewScene() {
    Start({kSamples + "solitaire_ring.orv"});
    WaitForRender();
    // Within the budget the quick shaded picture is drawn below every render that starts.
    View().SetPreviewBudget(1e9);
    int renders = View().RendersStarted();
    int previews = View().PreviewsBelowRows();
    View().RenderAgain();
    WaitForRender(renders);
    QCOMPARE(View().PreviewsBelowRows(), previews + 1);
    // Over it, the picture on screen stays until the rows replace it.
    View().SetPreviewBudget(0);
    renders = View().RendersStarted();
    View().RenderAgain();
    WaitForRender(renders);
    QCOMPARE(View().PreviewsBelowRows(), previews + 1);
    QVERIFY(View().Canvas().Complete());
    // How long the old scene took says nothing about a new one: its preview is tried.
    renders = View().RendersStarted();
    m_session->MainFrame().OpenFile(kSamples + "first_ring.orv");
    WaitForRender(renders);
    QCOMPARE(View().PreviewsBelowRows(), previews + 2);
}

void ViewerWindowTest::wireframeStopsTheRenderAndRenderingStartsItAgain() {
    StartLongRender();
    // Nobody sees the picture in the wireframe display: its render stops.
    m_session->MainFrame().RunCommand(kCommandViewWireframe);
    QTRY_VERIFY(!View().RenderRunning());
    QVERIFY(!View().Canvas().Complete());
    // Back in the rendered display the unfinished picture is rendered again, to the end.
    const int renders = View().RendersStarted();
    m_session->MainFrame().RunCommand(kCommandViewRendering);
    WaitForRender(renders);
    QVERIFY(View().Canvas().Complete());
}

void ViewerWindowTest::escapeStopsTheRenderAndKeepsItsRows() {
    StartLongRender();
    QTRY_VERIFY(View().Canvas().RowsArrived() > 0);
    QTest::keyClick(&View(), Qt::Key_Escape);
    QVERIFY(!View().RenderRunning());
    const int rows = View().Canvas().RowsArrived();
    QVERIFY(rows > 0);
    QVERIFY(rows < View().Canvas().Height());
    // The picture stays as it was stopped: an expose renders nothing again.
    const int renders = View().RendersStarted();
    View().update();
    QTest::qWait(200);
    QCOMPARE(View().RendersStarted(), renders);
    QVERIFY(View().Canvas().RowsArrived() >= rows);
}

void ViewerWindowTest::aLeftClickStopsTheRenderAndStartsADrag() {
    StartLongRender();
    const CMatrix4 before = Camera().CurrentViewport().view;
    SendMouse(View(), QEvent::MouseButtonPress, QPointF(100, 100), Qt::LeftButton, Qt::LeftButton);
    QVERIFY(!View().RenderRunning());
    SendMouse(View(), QEvent::MouseMove, QPointF(140, 100), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(Camera().standardView, 0);
    QVERIFY(!NearMatrix(Camera().CurrentViewport().view, before));
    const int renders = View().RendersStarted();
    SendMouse(View(), QEvent::MouseButtonRelease, QPointF(140, 100), Qt::LeftButton, Qt::NoButton);
    // The release renders the full picture in place of the previews.
    QTRY_VERIFY(View().RendersStarted() > renders);
}

void ViewerWindowTest::aResizeRendersAgainButAnExposeDoesNot() {
    Start({kSamples + "solitaire_ring.orv"});
    WaitForRender();
    const int renders = View().RendersStarted();
    View().update();
    QTest::qWait(100);
    QCOMPARE(View().RendersStarted(), renders);
    ResizeTo(500, 400);
    QTRY_VERIFY(View().RendersStarted() > renders);
    WaitForRender(renders);
    QCOMPARE(View().Canvas().Width(),
             int(std::lround(View().width() * View().devicePixelRatioF())));
}

void ViewerWindowTest::screenshotsOfTheSample() {
    Start({kSamples + "solitaire_ring.orv"});
    const int renders = View().RendersStarted();
    m_session->MainFrame().RunCommand(kCommandViewZoomAll);
    WaitForRender(renders);
    const QImage rendered = View().grabFramebuffer();
    const QString shots = QStringLiteral(ORVA_SCREENSHOT_DIR);
    QDir().mkpath(shots);
    m_session->MainFrame().grab().save(shots + "/orvaview_window_mode400.png");
    m_session->MainFrame().RunCommand(kCommandViewWireframe);
    QCoreApplication::processEvents();
    const QImage wireframe = View().grabFramebuffer();
    rendered.save(shots + "/orvaview_mode400.png");
    wireframe.save(shots + "/orvaview_mode0.png");
    m_session->MainFrame().grab().save(shots + "/orvaview_window.png");
    // Both pictures show something on their background, and not the same thing.
    for (const QImage& image : {rendered, wireframe}) {
        const QRgb corner = image.pixel(0, 0);
        int drawn = 0;
        for (int y = 0; y < image.height(); y += 2) {
            for (int x = 0; x < image.width(); x += 2) {
                drawn += image.pixel(x, y) != corner ? 1 : 0;
            }
        }
        QVERIFY(drawn > 100);
    }
    QVERIFY(rendered != wireframe);
}

void ViewerWindowTest::aDroppedSceneFileIsRecognised() {
    CMainFrame& frame = Start().MainFrame();
    const std::string ring = CurveFile("dropped.orv", {{0, 0, 0}, {2, 1, 0}});
    QMimeData other;
    other.setUrls({QUrl::fromLocalFile("/tmp/notes.txt")});
    QCOMPARE(DroppedSceneFile(other), std::string());
    QMimeData data;
    data.setUrls(
        {QUrl::fromLocalFile("/tmp/notes.txt"), QUrl::fromLocalFile(QString::fromStdString(ring))});
    QCOMPARE(DroppedSceneFile(data), ring);
    QVERIFY(frame.acceptDrops());
}

void ViewerWindowTest::aDropOnTheWindowOpensTheFile() {
    CMainFrame& frame = Start().MainFrame();
    const std::string ring = CurveFile("dropped_open.orv", {{0, 0, 0}, {2, 1, 0}});
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(ring))});
    const QPoint at = View().geometry().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&frame, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&frame, &drop);
    QVERIFY(drop.isAccepted());
    QCOMPARE(frame.windowTitle(), QString("Orvatrix Viewer - dropped_open.orv"));
    // Anything else is refused and leaves the document as it is.
    QMimeData text;
    text.setUrls({QUrl::fromLocalFile("/tmp/notes.txt")});
    QDragEnterEvent refused(at, Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    refused.ignore();
    QApplication::sendEvent(&frame, &refused);
    QVERIFY(!refused.isAccepted());
    QCOMPARE(frame.windowTitle(), QString("Orvatrix Viewer - dropped_open.orv"));
}

void ViewerWindowTest::ctrlOAsksForAFileAndCtrlSSavesThePicture() {
    CMainFrame& frame = Start().MainFrame();
    frame.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    const std::string ring = CurveFile("shortcut.orv", {{0, 0, 0}, {1, 2, 0}});
    int asked = 0;
    const SceneFileChooser previous = SetSceneFileChooser([&](QWidget*) {
        ++asked;
        return ring;
    });
    QTest::keyClick(&View(), Qt::Key_O, Qt::ControlModifier);
    SetSceneFileChooser(previous);
    QCOMPARE(asked, 1);
    QCOMPARE(frame.windowTitle(), QString("Orvatrix Viewer - shortcut.orv"));

    // Ctrl+S asks how, then for a file of any picture type, and writes a picture of the
    // view's size; a name without an extension gets ".png".
    const QString png = QDir::temp().filePath("orvaview-saved.png");
    QFile::remove(png);
    bool pngOnly = true;
    QCOMPARE(SaveWithShortcut(png.chopped(4), {}, &pngOnly), "Picture saved to " + png);
    QVERIFY(!pngOnly);
    const QImage saved(png);
    QVERIFY(!saved.isNull());
    QCOMPARE(saved.size(), View().grabFramebuffer().size());
    QFile::remove(png);
    QVERIFY(m_messages.empty());
    // A file that cannot be written is said in the status bar, not in a message box.
    CPictureSaveSettings settings;
    settings.width = settings.height = 8;
    settings.path = "/nonexistent-folder/picture.png";
    QSignalSpy finished(&frame, &CMainFrame::pictureSaveFinished);
    frame.SavePicture(settings);
    QVERIFY(finished.wait(60000));
    QCOMPARE(finished[0][0].toInt(), int(ESaveOutcome::kFailed));
    QVERIFY(frame.statusBar()->currentMessage().startsWith(
        "The picture could not be written to /nonexistent-folder/picture.png: "));
    QVERIFY(m_messages.empty());
}

QString ViewerWindowTest::SaveWithShortcut(const QString& answer,
                                           const std::function<void(CSavePictureDialog&)>& choose,
                                           bool* pngOnly) {
    // Each save starts from the dialog's first choices, not those of the test before.
    QSettings().remove("savePicture");
    const PictureFileChooser previous =
        SetPictureFileChooser([&](QWidget*, const std::string&, bool onlyPng) {
            *pngOnly = onlyPng;
            return answer.toStdString();
        });
    bool chosen = false;
    QTimer dialogWatch;
    QObject::connect(&dialogWatch, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<CSavePictureDialog*>(QApplication::activeModalWidget())) {
            dialogWatch.stop();
            chosen = true;
            if (choose) {
                choose(*dialog);
            }
            dialog->accept();
        }
    });
    CMainFrame& frame = m_session->MainFrame();
    QSignalSpy finished(&frame, &CMainFrame::pictureSaveFinished);
    dialogWatch.start(20);
    QTest::keyClick(&View(), Qt::Key_S, Qt::ControlModifier);
    dialogWatch.stop();
    SetPictureFileChooser(previous);
    if (!chosen || !finished.wait(60000)) {
        return "no picture saved";
    }
    // The status bar tells, as the signal does.
    return frame.statusBar()->currentMessage();
}

void ViewerWindowTest::theStatusBarSaysHowLongTheRenderTook() {
    Start({kSamples + "solitaire_ring.orv"});
    const int renders = View().RendersStarted();
    m_session->MainFrame().RunCommand(kCommandViewZoomAll);
    WaitForRender(renders);
    QTRY_VERIFY(m_session->MainFrame().RenderStatus().text().startsWith("Rendered in "));
    QCOMPARE(m_session->MainFrame().findChildren<QLabel*>().contains(
                 &m_session->MainFrame().RenderStatus()),
             true);
}

void ViewerWindowTest::theStatusBarShowsProgressWhileRendering() {
    StartLongRender();
    QTRY_VERIFY(m_session->MainFrame().RenderStatus().text().startsWith("Rendering "));
    QVERIFY(m_session->MainFrame().RenderStatus().text().endsWith("%"));
}

void ViewerWindowTest::theIdleTextIsShortenedInANarrowWindow() {
    Start();
    CElidedLabel& idle = m_session->MainFrame().IdleText();
    ResizeTo(1600, 480);
    QTRY_COMPARE(idle.DisplayedText(), QString(kIdleStatusText));
    QVERIFY(idle.toolTip().isEmpty());
    ResizeTo(500, 480);
    QTRY_VERIFY(idle.DisplayedText().endsWith(QChar(0x2026)));
    const QString shown = idle.DisplayedText().chopped(1);
    QVERIFY(!shown.isEmpty());
    QVERIFY(QString(kIdleStatusText).startsWith(shown));
    QVERIFY(idle.fontMetrics().horizontalAdvance(idle.DisplayedText()) <= idle.width());
    QCOMPARE(idle.text(), QString(kIdleStatusText));
    QCOMPARE(idle.toolTip(), QString(kIdleStatusText));
}

void ViewerWindowTest::theWindowOpensCentredAndKeepsItsPlace() {
    QSettings().clear();
    // A first start: maximised, and without a window manager to maximise it, a window of
    // two thirds of the screen in its middle rather than a scrap in a corner.
    CMainFrame* frame = StartAsTheProgramDoes();
    const QRect screen = frame->screen()->availableGeometry();
    const QRect first = frame->geometry();
    QVERIFY(frame->isMaximized());
    QVERIFY(std::abs(first.width() - screen.width() * 2 / 3) <= 2);
    QVERIFY(std::abs(first.height() - screen.height() * 2 / 3) <= 2);
    QVERIFY((first.center() - screen.center()).manhattanLength() <= 2);
    WaitForRender();  // the status bar says how long it took before the picture is taken
    QDir().mkpath(QStringLiteral(ORVA_SCREENSHOT_DIR));
    frame->grab().save(QStringLiteral(ORVA_SCREENSHOT_DIR) + "/orvaview_first_start.png");

    // Moved, made smaller and quit with Ctrl+Q: the next start is just there.
    const QRect moved(130, 90, 900, 620);
    frame->showNormal();
    frame->setGeometry(moved);
    QTRY_COMPARE(frame->geometry(), moved);
    frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame));
    QTest::keyClick(&View(), Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(!frame->isVisible());
    frame = StartAsTheProgramDoes();
    QTRY_COMPARE(frame->geometry(), moved);
    QVERIFY(!frame->isMaximized());
    // Closed maximised: maximised again, and un-maximising gives the place it had.
    frame->showMaximized();
    frame->close();
    frame = StartAsTheProgramDoes();
    QVERIFY(frame->isMaximized());
    QCOMPARE(frame->normalGeometry(), moved);
}

void ViewerWindowTest::aStoppedRenderStartsAgainOnACommandAndEscapeStopsItAnywhere() {
    StartLongRender();
    CMainFrame& frame = m_session->MainFrame();
    // The focus away from the view, on a toolbar button.
    QWidget* button = frame.findChild<QToolBar*>()->widgetForAction(frame.ToolbarActions()[3]);
    // Each of these, given after a stop, renders the same picture again from the start.
    const std::vector<std::function<void()>> renderAgain{
        [&] { frame.ToolbarActions()[2]->trigger(); },  // Rendering, already the display mode
        [&] { frame.ToolbarActions()[3]->trigger(); },  // Zoom All, already zoomed so
        [&] { QTest::keyClick(button, Qt::Key_F5); },
        [&] { frame.ToolbarActions()[4]->trigger(); },  // Reset View: a new picture,
        [&] { frame.ToolbarActions()[4]->trigger(); },  // then the same one again
    };
    for (const std::function<void()>& command : renderAgain) {
        QVERIFY(View().RenderRunning());
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Escape);
        QVERIFY(!View().RenderRunning());
        QVERIFY(!View().Canvas().Complete());
        const int renders = View().RendersStarted();
        command();
        QTRY_VERIFY(View().RendersStarted() == renders + 1 && View().RenderRunning());
    }
    View().StopRender();
}

void ViewerWindowTest::numberKeysFullScreenAndTheEmptyViewsHint() {
    CMainFrame& frame = Start().MainFrame();
    frame.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    // The hint is dark text on the empty picture's light background, in the middle only.
    const auto darkPixels = [&](bool middle) {
        const QImage shown = View().grabFramebuffer();
        const int top = middle ? shown.height() / 3 : 0;
        const int bottom = middle ? shown.height() * 2 / 3 : shown.height() / 4;
        int dark = 0;
        for (int y = top; y < bottom; ++y) {
            for (int x = 0; x < shown.width(); ++x) {
                dark += qGray(shown.pixel(x, y)) < 160 ? 1 : 0;
            }
        }
        return dark;
    };
    WaitForRender();
    QVERIFY(darkPixels(true) > 50);
    QCOMPARE(darkPixels(false), 0);
    // A scene with only a curve renders as an empty picture too, but needs no hint.
    const int renders = View().RendersStarted();
    frame.OpenFile(CurveFile("hint_curve.orv", {{0, 0, 0}, {1, 1, 1}}));
    WaitForRender(renders);
    QCOMPARE(darkPixels(true), 0);

    // Keys 1 to 6 load the six standard views, each different, each at zoom 1 after a turn.
    std::vector<CMatrix4> seen;
    for (int index = 1; index <= 6; ++index) {
        SendWheel(View(), 120, Qt::ControlModifier);
        QTest::keyClick(&View(), Qt::Key(Qt::Key_0 + index));
        QCOMPARE(Camera().standardView, index);
        QCOMPARE(Camera().CurrentViewport().zoom, 1.0f);
        for (const CMatrix4& other : seen) {
            QVERIFY(!NearMatrix(other, Camera().CurrentViewport().view));
        }
        seen.push_back(Camera().CurrentViewport().view);
    }
    CViewport standard;
    standard.SetAxes(0, 2, 1, 1, 1, -1);
    QVERIFY(NearMatrix(seen[0], standard.view));
    // F11 fills the screen and gives the window back.
    QTest::keyClick(&View(), Qt::Key_F11);
    QVERIFY(frame.isFullScreen());
    QTest::keyClick(&View(), Qt::Key_F11);
    QVERIFY(!frame.isFullScreen());
}

void ViewerWindowTest::aPictureIsSavedAtAnotherSizeWithATransparentBackground() {
    CMainFrame& frame = Start({kSamples + "pendant.orv"}).MainFrame();
    frame.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    // Opened fitted (its bail would be cut off at zoom 1), the pendant's metal body is in the
    // middle of any picture of the view.
    WaitForRender();
    QVERIFY(SceneFitsView(Camera()));
    const QString png = QDir::temp().filePath("orvaview-transparent.png");
    QFile::remove(png);
    bool pngOnly = false;
    const QString status = SaveWithShortcut(
        png,
        [](CSavePictureDialog& dialog) {
            dialog.SetTypedSize(300, 200);
            dialog.SetAntialias(2);
            dialog.SetBackground(EPictureBackground::kTransparent);
        },
        &pngOnly);
    QCOMPARE(status, "Picture saved to " + png);
    QVERIFY(pngOnly);
    const QImage saved(png);
    QCOMPARE(saved.size(), QSize(300, 200));
    QVERIFY(saved.pixel(150, 100) != saved.pixel(0, 0));  // the view's model, in the middle
    // A picture being saved shows its progress; the status bar's button cancels it, and
    // nothing is written.
    const QString large = QDir::temp().filePath("orvaview-cancelled.bmp");
    QFile::remove(large);
    CPictureSaveSettings settings;
    settings.width = settings.height = 4000;
    settings.path = large.toStdString();
    QSignalSpy finished(&frame, &CMainFrame::pictureSaveFinished);
    frame.SavePicture(settings);
    QVERIFY(frame.statusBar()->currentMessage().startsWith("Saving the picture "));
    auto* cancel = frame.statusBar()->findChild<QPushButton*>();
    QVERIFY(cancel != nullptr && cancel->isVisible());
    QTest::mouseClick(cancel, Qt::LeftButton);
    QVERIFY(finished.wait(60000));
    QCOMPARE(finished[0][0].toInt(), int(ESaveOutcome::kCancelled));
    QVERIFY(!cancel->isVisible());
    QVERIFY(!QFile::exists(large));
    QVERIFY(saved.hasAlphaChannel());
    for (const QPoint corner : {QPoint(0, 0), QPoint(299, 0), QPoint(0, 199), QPoint(299, 199)}) {
        QCOMPARE(qAlpha(saved.pixel(corner)), 0);
    }
    QCOMPARE(qAlpha(saved.pixel(150, 100)), 255);
    QFile::remove(png);
}

void ViewerWindowTest::aStillPictureIsRefinedUntilInputAndTheSettingIsKept() {
    QSettings().remove("view/refinePictures");
    Start({kSamples + "pendant.orv"});
    QVERIFY(m_session->MainFrame().RefinePicturesAction().isChecked());
    WaitForRender();
    const QImage plain = View().Canvas().Image();
    const int renders = View().RendersStarted();
    QTRY_COMPARE_WITH_TIMEOUT(View().RefinesShown(), 1, 60000);
    QCOMPARE(View().RendersStarted(), renders);
    // Refining smooths edges: nearly every pixel that changed much has a neighbour of another
    // colour in the plain picture.
    const QImage refined = View().Canvas().Image();
    const auto far = [](QRgb a, QRgb b, int by) {
        return std::abs(qRed(a) - qRed(b)) > by || std::abs(qGreen(a) - qGreen(b)) > by ||
               std::abs(qBlue(a) - qBlue(b)) > by;
    };
    int changed = 0;
    int inside = 0;
    for (int y = 1; y + 1 < plain.height(); ++y) {
        for (int x = 1; x + 1 < plain.width(); ++x) {
            if (!far(plain.pixel(x, y), refined.pixel(x, y), 48)) {
                continue;
            }
            ++changed;
            bool edge = false;
            for (int n = 0; n < 9; ++n) {
                edge =
                    edge || far(plain.pixel(x, y), plain.pixel(x + n % 3 - 1, y + n / 3 - 1), 16);
            }
            inside += edge ? 0 : 1;
        }
    }
    QVERIFY2(inside * 100 <= changed, qPrintable(QString("%1 of %2").arg(inside).arg(changed)));

    // Input gives a refinement up: it is never shown, and the new picture is refined in turn.
    // The same picture rendered again, and a press as soon as its refinement starts.
    const QPointF at(200, 200);
    bool pressed = false;
    bool wasRunning = false;
    QObject::connect(&View(), &COrvaView::refineStarted, &View(), [&] {
        if (!std::exchange(pressed, true)) {
            wasRunning = View().RefineRunning();
            SendMouse(View(), QEvent::MouseButtonPress, at, Qt::RightButton, Qt::RightButton);
        }
    });
    View().RenderAgain();
    QTRY_VERIFY_WITH_TIMEOUT(pressed, 60000);
    QVERIFY(wasRunning);
    QVERIFY(!View().RefineRunning());
    QTest::qWait(100);  // what the refinement posted, had it finished meanwhile
    QCOMPARE(View().RefinesShown(), 1);
    SendMouse(View(), QEvent::MouseButtonRelease, at, Qt::RightButton, Qt::NoButton);
    QTRY_COMPARE_WITH_TIMEOUT(View().RefinesShown(), 2, 60000);

    // Switched off, it stays off in the next window.
    m_session->MainFrame().RefinePicturesAction().trigger();
    QVERIFY(!View().RefinePictures());
    m_session.reset();
    Start({kSamples + "pendant.orv"});
    QVERIFY(!m_session->MainFrame().RefinePicturesAction().isChecked());
    QVERIFY(!View().RefinePictures());
    WaitForRender();
    QTest::qWait(600);
    QCOMPARE(View().RefinesStarted(), 0);
    QSettings().remove("view/refinePictures");
}

CJewelReport ViewerWindowTest::MeasureOpenScene(const CAlloy* alloy) {
    CJewelOptions options;
    options.threads = 2;
    options.alloy = alloy;
    const CSceneRange scene = WholeScene(m_session->Document().Scene());
    CJewelReport report = MeasureJewel(scene.first, scene.stop, options);
    report.source = {m_session->Document().Title(), m_session->Document().SceneLoad()};
    return report;
}

json Box(const char* material, float x0, float x1) {
    return {{"type", "polyMesh"},
            {"material", material},
            {"points",
             {{x0, 0, 0},
              {x1, 0, 0},
              {x1, 10, 0},
              {x0, 10, 0},
              {x0, 0, 10},
              {x1, 0, 10},
              {x1, 10, 10},
              {x0, 10, 10}}},
            {"polygons",
             {{3, 2, 1, 0}, {4, 5, 6, 7}, {0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}}}};
}

// The window says what the copied text says: the file's name, metal of two materials that
// overlaps, and a file that ends early (a banner over the figures, gone for a whole file).
void ViewerWindowTest::theReportWindowSaysWhatTheTextSays() {
    std::vector<uint8_t> bytes = test::SceneBytes(json::array(
        {Box("Gold18KYellow", 0, 10), Box("platinum", 5, 15), Box("platinum", 20, 30)}));
    bytes.resize(bytes.size() - 40);
    const std::string path = test::WriteTempFile("cut_overlap.orv", bytes);
    CMainFrame& frame = Start({path}).MainFrame();
    frame.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    CJewelReportWindow& report = frame.ReportWindow();
    QSignalSpy shown(&report, &CJewelReportWindow::reportShown);
    QTest::keyClick(&frame, Qt::Key_I, Qt::ControlModifier);
    QVERIFY(shown.wait(60000));
    QVERIFY(report.WarningBand().isVisible());
    QVERIFY(report.WarningBand().text().startsWith(
        "INCOMPLETE: the file ends early; 2 objects measured\nReading stopped at byte "));
    QCOMPARE(report.SceneLabel().text(), QString("cut_overlap.orv"));
    const std::string text = FormatJewelTable(MeasureOpenScene(nullptr));
    QVERIFY(report.OverlapLabel().isVisible());
    QVERIFY2(text.find(report.OverlapLabel().text().toStdString()) != std::string::npos,
             text.c_str());
    QVERIFY(text.find("overlap") != std::string::npos);
    frame.OpenFile(kSamples + "first_ring.orv");
    QVERIFY(shown.wait(60000));
    QVERIFY(!report.WarningBand().isVisible());
    QVERIFY(!report.OverlapLabel().isVisible());
    QCOMPARE(report.SceneLabel().text(), QString("first_ring.orv"));
}

// Save PDF… suggests the scene's name beside it and writes a page that names the scene, its
// pictures rendered in the background.
void ViewerWindowTest::savePdfWritesThePageBesideTheScene() {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) {
        QSKIP("poppler-utils (pdftotext) is not installed");
    }
    CMainFrame& frame = Start({kSamples + "pendant.orv"}).MainFrame();
    frame.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    CJewelReportWindow& report = frame.ReportWindow();
    QSignalSpy shown(&report, &CJewelReportWindow::reportShown);
    QTest::keyClick(&frame, Qt::Key_I, Qt::ControlModifier);
    QVERIFY(shown.wait(60000));
    QTemporaryDir folder;
    const QString target = folder.filePath("report.pdf");
    std::string suggested;
    const ReportPdfChooser previous =
        SetReportPdfChooser([&](QWidget*, const std::string& offered) {
            suggested = offered;
            return target.toStdString();
        });
    QSignalSpy saved(&report, &CJewelReportWindow::pdfSaved);
    QTest::mouseClick(&report.SavePdfButton(), Qt::LeftButton);
    SetReportPdfChooser(previous);
    QVERIFY(saved.wait(60000));
    QCOMPARE(saved[0][1].toBool(), true);
    QCOMPARE(QString::fromStdString(suggested), QString::fromStdString(kSamples + "pendant.pdf"));
    QProcess pdftotext;
    pdftotext.start("pdftotext", {target, "-"});
    QVERIFY(pdftotext.waitForFinished(30000));
    const QString page = QString::fromUtf8(pdftotext.readAllStandardOutput());
    QVERIFY2(page.contains("pendant.orv"), qPrintable(page));
}

// A FIFO on the command line would block the open until someone writes, /dev/zero opened
// from the window would be read until memory runs out: both are refused with a message.
void ViewerWindowTest::aFifoOrADeviceIsRefusedAtOnce() {
    QTemporaryDir folder;
    const std::string fifo = folder.filePath("waiting.orv").toStdString();
    QCOMPARE(::mkfifo(fifo.c_str(), 0600), 0);
    CMainFrame& frame = Start({fifo}).MainFrame();
    m_session->Show();  // says what the open held back until the window was there
    frame.OpenFile("/dev/zero");
    const std::vector<std::string> expected = {"Cannot open " + fifo + ": not a regular file",
                                               "Cannot open /dev/zero: not a regular file"};
    std::string said;
    for (const std::string& m : m_messages) {
        said += m + "|";
    }
    QVERIFY2(m_messages == expected, said.c_str());
    QCOMPARE(QString::fromStdString(m_session->Document().Title()), QString("Untitled"));
}

void ViewerWindowTest::ctrlIReportsTheSceneAndWeighsItInAnotherAlloyWithoutMeasuringAgain() {
    CMainFrame& frame = Start().MainFrame();
    frame.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    CJewelReportWindow& report = frame.ReportWindow();
    QTest::keyClick(&frame, Qt::Key_I, Qt::ControlModifier);
    QTRY_VERIFY(report.isVisible());
    QCOMPARE(report.StatusLabel().text(), QString("No scene is open."));
    QVERIFY(!report.CopyButton().isEnabled());
    // A scene opened under the shown window is measured in the background.
    QSignalSpy shown(&report, &CJewelReportWindow::reportShown);
    frame.OpenFile(kSamples + "solitaire_ring.orv");
    QCOMPARE(report.StatusLabel().text(), QString("Measuring\u2026"));
    QVERIFY(shown.wait(60000));
    const CJewelReport ring = MeasureOpenScene(nullptr);
    QVERIFY(report.MetalVolumeLabel().text().contains(QString::number(ring.metal.volume, 'f', 3)));
    QCOMPARE(report.MetalsTable().rowCount(), int(ring.metals.size()));
    QCOMPARE(report.GemsTable().rowCount(), int(ring.gems.size()));
    // Platinum weighs the same metal without measuring it again: volume times density.
    const int measured = report.MeasurementsStarted();
    const CAlloy* platinum = FindAlloy("pt950");
    report.AlloyBox().setCurrentIndex(report.AlloyBox().findText("Platinum 950"));
    QCOMPARE(report.MeasurementsStarted(), measured);
    QVERIFY(!report.Measuring());
    for (int row = 0; row < report.MetalsTable().rowCount(); ++row) {
        QCOMPARE(report.MetalsTable().item(row, 1)->text(), QString("Platinum 950"));
        const double grams = ring.metals[size_t(row)].volumeMm3 / 1000.0 * 20.7;
        QCOMPARE(report.MetalsTable().item(row, 4)->text(), QString::number(grams, 'f', 3));
    }
    // Copy gives the text of the command line, as measured in that alloy from the start.
    QTest::mouseClick(&report.CopyButton(), Qt::LeftButton);
    QCOMPARE(QApplication::clipboard()->text().toStdString(),
             FormatJewelTable(MeasureOpenScene(platinum)));
    // Another scene while one is measured: the first result never lands, the second does.
    frame.OpenFile(kSamples + "first_ring.orv");
    frame.OpenFile(kSamples + "earrings.orv");
    QVERIFY(shown.wait(60000));
    QTest::qWait(100);
    QCOMPARE(shown.count(), 2);
    QCOMPARE(report.MeasurementsStarted(), measured + 2);
    const CJewelReport earrings = MeasureOpenScene(platinum);
    QVERIFY(
        report.MetalVolumeLabel().text().contains(QString::number(earrings.metal.volume, 'f', 3)));
    QCOMPARE(report.GemsTable().rowCount(), int(earrings.gems.size()));
    // It stands beside the main window, clear of its menu, with every column header whole.
    const QRect menu(frame.menuBar()->mapToGlobal(QPoint(0, 0)), frame.menuBar()->size());
    QVERIFY(!report.frameGeometry().intersects(menu));
    for (QTableWidget* table : {&report.MetalsTable(), &report.GemsTable()}) {
        QHeaderView& header = *table->horizontalHeader();
        QVERIFY(header.length() <= table->viewport()->width());
        for (int column = 0; column < header.count(); ++column) {
            QVERIFY(header.sectionSize(column) >= header.sectionSizeHint(column));
        }
    }
    // Escape closes the window, which stops its measurement; shown again, it measures again.
    frame.OpenFile(kSamples + "solitaire_ring.orv");
    report.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&report));
    QTest::keyClick(&report, Qt::Key_Escape);
    QVERIFY(!report.isVisible());
    QVERIFY(!report.Measuring());
    frame.ReportAction().trigger();
    QVERIFY(shown.wait(60000));
    QCOMPARE(report.MetalsTable().item(0, 3)->text(),
             QString::number(ring.metals[0].volumeMm3, 'f', 3));
}

void ViewerWindowTest::ExportWithMenu(const QString& answer,
                                      const std::function<void(CExportDialog&)>& choose,
                                      std::string* suggested) {
    const ExportFileChooser previous =
        SetExportFileChooser([&](QWidget*, const std::string& offered) {
            *suggested = offered;
            return answer.toStdString();
        });
    QTimer dialogWatch;
    QObject::connect(&dialogWatch, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<CExportDialog*>(QApplication::activeModalWidget())) {
            dialogWatch.stop();
            choose(*dialog);
            dialog->accept();
        }
    });
    dialogWatch.start(20);
    m_session->MainFrame().ExportAction().trigger();
    SetExportFileChooser(previous);
}

// File ▸ Export… of the metal alone at the draft resolution writes one closed, outward shell
// holding the metal the report measures; the choices are offered again next time, and Cancel
// or another file opened stops an export without leaving a file.
void ViewerWindowTest::exportWritesTheMetalAsOneSoundShellAndCancelLeavesNoFile() {
    QSettings().remove("export");
    CMainFrame& frame = Start().MainFrame();
    QVERIFY(!frame.ExportAction().isEnabled());
    frame.OpenFile(kSamples + "first_ring.orv");
    QVERIFY(frame.ExportAction().isEnabled());
    QTemporaryDir folder;
    const QString target = folder.filePath("ring.3mf");
    std::string suggested;
    QSignalSpy finished(&frame, &CMainFrame::exportFinished);
    ExportWithMenu(
        target,
        [](CExportDialog& dialog) {
            QCOMPARE(dialog.Settings().resolution, 0.02);
            dialog.SetParts(EMeshParts::kMetal);
            dialog.SetResolution(0.05);
        },
        &suggested);
    QCOMPARE(QString::fromStdString(suggested),
             QString::fromStdString(kSamples + "first_ring.stl"));
    QVERIFY(frame.Exporting());
    QVERIFY(frame.statusBar()->currentMessage().startsWith("Exporting "));
    QVERIFY(finished.wait(120000));
    QCOMPARE(finished[0][0].toInt(), int(EExportOutcome::kWritten));
    QVERIFY2(frame.statusBar()->currentMessage().endsWith(" triangles to " + target),
             qPrintable(frame.statusBar()->currentMessage()));
    QProcess check;
    check.start(MESH_CHECK, {target});
    QVERIFY(check.waitForFinished(120000));
    const QList<QByteArray> shells = check.readAllStandardOutput().trimmed().split('\n');
    QCOMPARE(shells.size(), 1);
    const QJsonObject shell = QJsonDocument::fromJson(shells[0]).object();
    QVERIFY2(shell["closed"].toBool() && shell["outward"].toBool(), shells[0].constData());
    CJewelOptions options;
    options.accuracyPercent = 0.1;
    options.threads = 2;
    const CSceneRange scene = WholeScene(m_session->Document().Scene());
    const double metal = MeasureJewel(scene.first, scene.stop, options).metal.volume;
    QVERIFY2(std::fabs(shell["volume"].toDouble() - metal) < metal * 0.005,
             qPrintable(QString("%1 against %2").arg(shell["volume"].toDouble()).arg(metal)));

    // The next export offers the same choices and format; Cancel stops it with no file.
    const QString cancelled = folder.filePath("cancelled.3mf");
    ExportWithMenu(
        cancelled,
        [](CExportDialog& dialog) {
            QCOMPARE(int(dialog.Settings().parts), int(EMeshParts::kMetal));
            QCOMPARE(dialog.Settings().resolution, 0.05);
            dialog.SetResolution(0.01);
        },
        &suggested);
    QVERIFY(QString::fromStdString(suggested).endsWith("first_ring.3mf"));
    QVERIFY(frame.CancelExportButton().isVisible());
    QTest::mouseClick(&frame.CancelExportButton(), Qt::LeftButton);
    QVERIFY(finished.wait(120000));
    QCOMPARE(finished[1][0].toInt(), int(EExportOutcome::kCancelled));
    QVERIFY(!frame.CancelExportButton().isVisible());
    // Another scene opened stops the export reading the old one.
    frame.ExportMeshes({cancelled.toStdString(), EMeshParts::kAll, 0.01});
    frame.OpenFile(kSamples + "pendant.orv");
    QVERIFY(!frame.Exporting());
    QVERIFY(finished.wait(120000));
    QCOMPARE(finished[2][0].toInt(), int(EExportOutcome::kCancelled));
    QVERIFY(!QFile::exists(cancelled));
    QVERIFY(m_messages.empty());
    QSettings().remove("export");
}

// File ▸ Export… to a name ending in ".html" writes the shop's page: the piece as a glTF binary
// inside it, the scene's name and the report's line; the next export offers that format again.
void ViewerWindowTest::exportWritesTheShopPageAndOffersItAgain() {
    QSettings().remove("export");
    CMainFrame& frame = Start().MainFrame();
    frame.OpenFile(kSamples + "first_ring.orv");
    QTemporaryDir folder;
    const QString target = folder.filePath("ring.html");
    std::string suggested;
    QSignalSpy finished(&frame, &CMainFrame::exportFinished);
    ExportWithMenu(
        target, [](CExportDialog& dialog) { dialog.SetResolution(0.05); }, &suggested);
    QVERIFY(finished.wait(300000));
    QCOMPARE(finished[0][0].toInt(), int(EExportOutcome::kWritten));
    QFile page(target);
    QVERIFY(page.open(QIODevice::ReadOnly));
    const QByteArray html = page.readAll();
    QVERIFY(html.startsWith("<!DOCTYPE html>"));
    QVERIFY(html.contains("<title>first_ring.orv</title>"));
    // "glTF" in base64, then the report's line under the piece.
    QVERIFY(html.contains("src=\"data:model/gltf-binary;base64,Z2xURg"));
    const CJewelReport report = MeasureOpenScene(nullptr);
    QVERIFY(html.contains(QByteArray::fromStdString("<p>" + JewelSummaryLine(report) + "</p>")));
    ExportWithMenu(
        folder.filePath("again.glb"), [](CExportDialog&) {}, &suggested);
    QVERIFY(QString::fromStdString(suggested).endsWith("first_ring.html"));
    QVERIFY(finished.wait(300000));
    QFile glb(folder.filePath("again.glb"));
    QVERIFY(glb.open(QIODevice::ReadOnly));
    QVERIFY(glb.read(4) == "glTF");
    QVERIFY(m_messages.empty());
    QSettings().remove("export");
}

void ViewerWindowTest::aPieceCutOffIsFittedOnOpenResetAndTheStandardViews() {
    // The pendant's bail reaches above the view at zoom 1: it opens fitted, nothing on the
    // picture's edges.
    CMainFrame& frame = Start({kSamples + "pendant.orv"}).MainFrame();
    frame.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    WaitForRender();
    QVERIFY(Camera().CurrentViewport().zoom != 1.0f);
    QCOMPARE(Camera().standardView, 1);
    // Zoom All fills the view's height: a notch out leaves room on every side.
    int renders = View().RendersStarted();
    SendWheel(View(), -120);
    WaitForRender(renders);
    QVERIFY(EdgesAreBackground(View().grabFramebuffer()));
    QDir().mkpath(QStringLiteral(ORVA_SCREENSHOT_DIR));
    frame.grab().save(QStringLiteral(ORVA_SCREENSHOT_DIR) + "/orvaview_pendant_opened.png");

    QTest::keyClick(&View(), Qt::Key_0);
    QVERIFY(Camera().CurrentViewport().zoom != 1.0f && SceneFitsView(Camera()));
    // A piece that fits at zoom 1 is shown so by Reset View, and keeps that view when the
    // next piece that fits is opened into it.
    frame.OpenFile(kSamples + "solitaire_ring.orv");
    QTest::keyClick(&View(), Qt::Key_0);
    QCOMPARE(Camera().CurrentViewport().zoom, 1.0f);
    frame.OpenFile(kSamples + "first_ring.orv");
    QTest::qWait(100);
    QCOMPARE(Camera().CurrentViewport().zoom, 1.0f);
    // A column 70 high and 10 wide is cut off from the four sides but fits seen from above
    // or below (keys 3 and 6): each view is fitted exactly when it has to be.
    frame.OpenFile(CurveFile("column.orv", {{-5, -5, 0}, {5, 5, 70}}));
    for (int index = 1; index <= 6; ++index) {
        QTest::keyClick(&View(), Qt::Key(Qt::Key_0 + index));
        QCOMPARE(Camera().standardView, index);
        const bool fromAboveOrBelow = index == 3 || index == 6;
        QCOMPARE(Camera().CurrentViewport().zoom == 1.0f, fromAboveOrBelow);
        QVERIFY(SceneFitsView(Camera()));
    }
    // Rolled by hand, Reset View goes back to the first view, fitted.
    SendWheel(View(), 120, Qt::ControlModifier);
    QTest::keyClick(&View(), Qt::Key_0);
    QVERIFY(Camera().CurrentViewport().zoom < 1.0f && SceneFitsView(Camera()));
    frame.grab().save(QStringLiteral(ORVA_SCREENSHOT_DIR) + "/orvaview_column_fitted.png");

    // Opened into a view turned and zoomed in on the ring, the pendant is fitted again.
    frame.OpenFile(kSamples + "solitaire_ring.orv");
    QTest::keyClick(&View(), Qt::Key_1);
    SendWheel(View(), 3 * 120);
    const float zoomedIn = Camera().CurrentViewport().zoom;
    frame.OpenFile(kSamples + "pendant.orv");
    QTRY_VERIFY(Camera().CurrentViewport().zoom != zoomedIn);
    QVERIFY(SceneFitsView(Camera()));
}

void ViewerWindowTest::everyToolbarCommandIsInAMenuWithItsKeysAndHelpListsThemAll() {
    CMainFrame& frame = Start({kSamples + "solitaire_ring.orv"}).MainFrame();
    frame.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    std::vector<QAction*> entries;
    for (QAction* menu : frame.menuBar()->actions()) {
        CollectMenuActions(*menu->menu(), entries);
    }
    // Each toolbar button is a menu entry with keys, and its tooltip names them.
    for (QAction* button : frame.ToolbarActions()) {
        QVERIFY(std::find(entries.begin(), entries.end(), button) != entries.end());
        QVERIFY(!button->shortcuts().isEmpty());
        QVERIFY2(button->toolTip().contains(button->shortcut().toString(QKeySequence::NativeText)),
                 qPrintable(button->toolTip()));
    }
    // No key does two things, and the cheat-sheet lists every entry's keys.
    const std::vector<CKeyHelpLine> lines = KeysAndMouseLines(*frame.menuBar());
    QSet<QString> keys;
    for (QAction* entry : entries) {
        for (const QKeySequence& key : entry->shortcuts()) {
            const QString text = key.toString(QKeySequence::NativeText);
            QVERIFY2(!keys.contains(text), qPrintable(text));
            keys.insert(text);
            const bool listed = std::any_of(lines.begin(), lines.end(), [&](const auto& line) {
                return line.input.split(", ").contains(text) &&
                       line.does.endsWith(QString(entry->text()).remove('&').remove(u'\u2026'));
            });
            QVERIFY2(listed, qPrintable(text));
        }
    }
    // The keys act: A and Home fit a turned and zoomed view, 0 resets it.
    for (const Qt::Key key : {Qt::Key_A, Qt::Key_Home}) {
        SendWheel(View(), 5 * 120);
        QTest::keyClick(&View(), key);
        QVERIFY(SceneFitsView(Camera()) && Camera().CurrentViewport().zoom > 1.0f);
        QTest::keyClick(&View(), Qt::Key_0);
        QCOMPARE(Camera().CurrentViewport().zoom, 1.0f);
    }
    QTest::keyClick(&View(), Qt::Key_W);
    QCOMPARE(Camera().displayMode, int(kModeWireframe));
    QTest::keyClick(&View(), Qt::Key_R);
    QCOMPARE(Camera().displayMode, int(kModeRendered));

    // F1 shows the cheat-sheet as a window of its own, every line in it.
    QTest::keyClick(&View(), Qt::Key_F1);
    auto* sheet = frame.findChild<CKeysAndMouseWindow*>();
    QVERIFY(sheet != nullptr);
    QTRY_VERIFY(sheet->isVisible());
    QCOMPARE(sheet->findChild<QTableWidget*>()->rowCount(), int(lines.size()));
    sheet->grab().save(QStringLiteral(ORVA_SCREENSHOT_DIR) + "/orvaview_keys_and_mouse.png");
    sheet->close();

    // About credits every library the viewer links, and says its version.
    const QString about = AboutText();
    QVERIFY(about.contains(kApplicationName) && about.contains(qVersion()));
    QProcess objdump;
    objdump.start("objdump", {"-p", QCoreApplication::applicationDirPath() + "/orvaview"});
    QVERIFY(objdump.waitForFinished(30000) && objdump.exitCode() == 0);
    // The C and C++ runtimes, and the sanitizers' in a sanitized build.
    const QStringList runtime{"libc.",    "libm.",    "libstdc++", "libgcc_s",
                              "ld-linux", "libasan.", "libubsan.", "libtsan."};
    int needed = 0;
    for (const QString& line : QString(objdump.readAllStandardOutput()).split('\n')) {
        const QStringList words = line.simplified().split(' ');
        if (words.size() != 2 || words[0] != "NEEDED") {
            continue;
        }
        ++needed;
        const auto begins = [&](const QString& prefix) { return words[1].startsWith(prefix); };
        const QStringList credited = CreditedSharedObjects();
        QVERIFY2(std::any_of(credited.begin(), credited.end(), begins) ||
                     std::any_of(runtime.begin(), runtime.end(), begins),
                 qPrintable(words[1]));
    }
    QVERIFY(needed > 5);
}

void ViewerWindowTest::fullScreenIsNeverKeptAsTheNormalPlaceAndARestoredWindowStaysOnScreen() {
    QSettings().clear();
    CMainFrame* frame = StartAsTheProgramDoes();
    const QRect screen = frame->screen()->availableGeometry();
    const QRect moved(130, 90, 900, 620);
    frame->showNormal();
    frame->setGeometry(moved);
    QTRY_COMPARE(frame->geometry(), moved);
    frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame));
    // F11, the screen given to the window as a window manager does, F11 again (the window
    // manager has not given the old place back yet), and quit.
    QTest::keyClick(&View(), Qt::Key_F11);
    QVERIFY(frame->isFullScreen());
    frame->windowHandle()->setGeometry(frame->screen()->geometry());
    QTRY_COMPARE(frame->geometry(), frame->screen()->geometry());
    frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame));
    QTest::keyClick(&View(), Qt::Key_F11);
    QVERIFY(!frame->isFullScreen());
    frame->close();
    frame = StartAsTheProgramDoes();
    QTRY_COMPARE(frame->geometry(), moved);
    frame->close();

    // Places kept from another screen or by an older version: on the screen, title and all.
    const QRect kept[] = {QRect(0, -30, screen.width(), screen.height()),
                          QRect(screen.right() - 100, 50, 800, 600),
                          QRect(-700, screen.bottom() - 40, 800, 600)};
    for (const QRect& place : kept) {
        const QRect placed = PlaceOnScreen(place, screen);
        QVERIFY(screen.contains(placed));
        QVERIFY(placed.top() >= screen.top() + 24);
        QVERIFY(placed.width() >= std::min(place.width(), screen.width()) - 1);
    }
    // A place that is on the screen is kept as it is.
    QCOMPARE(PlaceOnScreen(moved, screen), moved);
}

// Dragged with Resolved While Turning, the view shows software pictures (the material's gold,
// where the shaded preview shows the layer's pink) and ends on the very picture it renders
// without the option.
void ViewerWindowTest::aTurnResolvedShowsRenderedPicturesAndEndsOnThePictureWithoutIt() {
    QSettings().remove("view/resolvedWhileTurning");
    CMainFrame& frame = Start({kSamples + "first_ring.orv"}).MainFrame();
    QVERIFY(!frame.ResolvedWhileTurningAction().isChecked());
    QVERIFY(!View().ResolvedWhileTurning());
    View().SetRefinePictures(false);  // the pictures compared are the plain ones
    WaitForRender();
    const CViewport start = Camera().CurrentViewport();
    // Presses, moves in `steps` steps calling `during` after each, releases and returns the
    // full picture rendered after the release.
    const auto drag = [&](int steps, const std::function<void(int)>& during) {
        Camera().CurrentViewport() = start;
        SendMouse(View(), QEvent::MouseButtonPress, QPointF(200, 200), Qt::LeftButton,
                  Qt::LeftButton);
        for (int step = 1; step <= steps; ++step) {
            SendMouse(View(), QEvent::MouseMove, QPointF(200 + 15 * step, 200 + 4 * step),
                      Qt::NoButton, Qt::LeftButton);
            during(step);
        }
        const int renders = View().RendersStarted();
        SendMouse(View(), QEvent::MouseButtonRelease, QPointF(200 + 15 * steps, 200 + 4 * steps),
                  Qt::LeftButton, Qt::NoButton);
        WaitForRender(renders);
        return View().Canvas().Image();
    };
    constexpr int kSteps = 4;

    // Without the option the drag shows the shaded preview in the layer's colour.
    int previewYellow = 100;
    const QImage without = drag(kSteps, [&](int step) {
        if (step == 1) {
            previewYellow = YellowPercent(View().grabFramebuffer());
        }
    });
    const CMatrix4 endWithout = Camera().CurrentViewport().view;
    QCOMPARE(View().TurningFramesShown(), 0);
    QVERIFY2(previewYellow >= 0 && previewYellow < 10, qPrintable(QString::number(previewYellow)));

    frame.ResolvedWhileTurningAction().trigger();
    QVERIFY(View().ResolvedWhileTurning());
    // Pictures no render can make in time: the turn's go down to an eighth of the pixels.
    View().SetTurningFrameTarget(0.001);
    const int rendersBefore = View().RendersStarted();
    std::vector<int> shownYellow;
    QImage lastShown;
    const QImage with = drag(kSteps, [&](int step) {
        // Each step waits for a picture of its own camera or a later one.
        QTRY_VERIFY_WITH_TIMEOUT(View().TurningFramesShown() >= step, 30000);
        shownYellow.push_back(YellowPercent(View().grabFramebuffer()));
        if (step == kSteps) {
            // Once the turn's pictures have caught up, the last is of the last camera.
            QTest::qWait(500);
            lastShown = View().grabFramebuffer();
        }
    });
    // The turn rendered no full picture: only the release did.
    QCOMPARE(View().RendersStarted(), rendersBefore + 1);
    QVERIFY(View().TurningFramesShown() >= kSteps);
    QCOMPARE(View().TurningPixelFraction(), 0.125);
    for (const int yellow : shownYellow) {
        QVERIFY2(yellow > 60, qPrintable(QString::number(yellow)));
    }
    QVERIFY(NearMatrix(Camera().CurrentViewport().view, endWithout, 0.0f));
    QCOMPARE(with.size(), without.size());
    QVERIFY(with == without);
    // The last picture of the turn is the full one at a lower resolution: the same piece in the
    // same place, apart from the blur of its scaling at the edges.
    const QImage full = with.convertToFormat(QImage::Format_RGB32);
    const QImage small = lastShown.convertToFormat(QImage::Format_RGB32);
    QCOMPARE(small.size(), full.size());
    const int far = FarPerMille(small, full);
    QVERIFY2(far < 20, qPrintable(QString::number(far)));

    // The choice is kept for the next window.
    m_session.reset();
    Start({kSamples + "first_ring.orv"});
    QVERIFY(m_session->MainFrame().ResolvedWhileTurningAction().isChecked());
    QVERIFY(View().ResolvedWhileTurning());
    QSettings().remove("view/resolvedWhileTurning");
}

}  // namespace orva

namespace {

// The OpenGL driver and the session bus library keep blocks of their own until the process
// ends, and the driver is unloaded before the leak checker looks: its blocks could then not
// be told from ours. Keeping every library loaded lets the checker name them, so the
// suppressions beside this file leave them out while every leak of ours is still caught.
int KeepLoaded(dl_phdr_info* info, size_t, void*) {
    if (info->dlpi_name != nullptr && info->dlpi_name[0] != '\0') {
        dlopen(info->dlpi_name, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    orva::RequestCompatibilityOpenGL();
    QApplication application(argc, argv);
    // The window's place is kept in a folder of the test's own, never in the user's settings.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QApplication::setOrganizationName("Orvatrix");
    QApplication::setApplicationName("Orvatrix Viewer");
    // Ctrl+Q closes the last window in a test that goes on: the test must not end there.
    QApplication::setQuitOnLastWindowClosed(false);
    orva::ViewerWindowTest test;
    const int result = QTest::qExec(&test, argc, argv);
    dl_iterate_phdr(KeepLoaded, nullptr);
    return result;
}

#include "viewer_window_test.moc"
