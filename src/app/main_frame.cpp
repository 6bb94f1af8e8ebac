#include "app/main_frame.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QStringList>
#include <QToolBar>
#include <QUrl>

#include "app/about_box.h"
#include "app/command_ids.h"
#include "app/elided_label.h"
#include "app/export_dialog.h"
#include "app/jewel_report_window.h"
#include "app/keys_and_mouse_window.h"
#include "app/orva_document.h"
#include "app/orva_view.h"
#include "app/save_picture_dialog.h"
#include "app/scene_file_chooser.h"
#include "app/toolbar_icons.h"
#include "app/web_site.h"
#include "app/window_placement.h"
#include "platform/message_box.h"

namespace orva {

namespace {

// The commands of the toolbar, in its order, with their tooltips; each is also in a menu,
// whose keys the tooltip adds.
struct CToolbarButton {
    int command;
    const char* tooltip;
};

constexpr CToolbarButton kToolbarButtons[] = {
    {kCommandOpenFile, "Open File"},      {kCommandViewWireframe, "Wireframe"},
    {kCommandViewRendering, "Rendering"}, {kCommandViewZoomAll, "Zoom All"},
    {kCommandViewReset, "Reset View"},
};

// The standard views by the side of the piece they look at, in the order of keys 1 to 6.
constexpr const char* kStandardViewNames[] = {"&Front", "&Right", "&Top",
                                              "&Back",  "&Left",  "Botto&m"};

// "Zoom All (A, Home)": a control's name with the keys that give it.
QString WithKeys(const QString& name, const QList<QKeySequence>& keys) {
    QStringList shown;
    for (const QKeySequence& key : keys) {
        shown << key.toString(QKeySequence::NativeText);
    }
    return shown.isEmpty() ? name : QString("%1 (%2)").arg(name, shown.join(", "));
}

// Whether finished pictures are refined, remembered between runs.
constexpr char kRefinePicturesKey[] = "view/refinePictures";
// Whether a drag shows software pictures of reduced resolution, remembered between runs.
constexpr char kResolvedWhileTurningKey[] = "view/resolvedWhileTurning";

// How often the status bar tells how far a picture being saved or an export has got.
constexpr int kSaveProgressMilliseconds = 100;
// How long the status bar says where a picture or an export was saved.
constexpr int kSaveNoteMilliseconds = 10000;

}  // namespace

CMainFrame::CMainFrame(COrvaDoc& document)
    : m_document(document),
      m_view(new COrvaView(document, this)),
      m_reportWindow(new CJewelReportWindow(document, this)) {
    setCentralWidget(m_view);
    AddMenus();
    AddToolbar();
    AddStatusBar();
    setAcceptDrops(true);
    setWindowTitle(QString::fromStdString(m_document.Caption()));
}

CMainFrame::~CMainFrame() {
    // The picture being saved, the export and the report being measured read the document's
    // scene.
    m_saveJob.Cancel();
    m_exportJob.Cancel();
    m_reportWindow->StopMeasuring();
}

QAction* CMainFrame::AddCommand(QMenu& menu, const QString& text, const QList<QKeySequence>& keys,
                                const std::function<void()>& run) {
    QAction* action = menu.addAction(text, this, run);
    action->setShortcuts(keys);
    // Shortcuts act wherever the focus is in the window, menus closed.
    action->setShortcutContext(Qt::WindowShortcut);
    return action;
}

QAction* CMainFrame::AddRoutedCommand(QMenu& menu, int commandId, const QString& text,
                                      const QList<QKeySequence>& keys) {
    QAction* action = AddCommand(menu, text, keys, [this, commandId] { RunCommand(commandId); });
    action->setData(commandId);
    m_commandActions[commandId] = action;
    return action;
}

void CMainFrame::AddMenus() {
    AddFileMenu();
    AddViewMenu();
    QMenu* tools = menuBar()->addMenu("&Tools");
    m_reportAction = AddCommand(*tools, "&Report\u2026", {QKeySequence(Qt::CTRL | Qt::Key_I)},
                                [this] { m_reportWindow->ShowReport(m_view->RenderThreads()); });
    m_reportAction->setStatusTip("Metal volume and weight, stones and carats of the scene");
    AddHelpMenu();
}

void CMainFrame::AddFileMenu() {
    QMenu* file = menuBar()->addMenu("&File");
    AddRoutedCommand(*file, kCommandOpenFile, "&Open\u2026", {QKeySequence::Open});
    m_savePictureAction = AddCommand(*file, "&Save Picture\u2026", {QKeySequence::Save},
                                     [this] { AskToSavePicture(); });
    m_exportAction = AddCommand(*file, "&Export\u2026", {}, [this] { AskToExport(); });
    m_exportAction->setStatusTip(
        "Writes the piece as closed meshes (STL, 3MF), as glTF or as a web page for a shop");
    // Without a scene there is nothing to mesh.
    m_exportAction->setEnabled(!m_document.Path().empty());
    file->addSeparator();
    AddCommand(*file, "&Quit", {QKeySequence::Quit}, [this] { close(); });
}

void CMainFrame::AddViewMenu() {
    QMenu* view = menuBar()->addMenu("&View");
    AddRoutedCommand(*view, kCommandViewWireframe, "&Wireframe", {Qt::Key_W});
    AddRoutedCommand(*view, kCommandViewRendering, "&Rendering", {Qt::Key_R});
    view->addSeparator();
    AddRoutedCommand(*view, kCommandViewZoomAll, "&Zoom All", {Qt::Key_A, Qt::Key_Home});
    AddRoutedCommand(*view, kCommandViewReset, "Reset &View", {Qt::Key_0});
    QMenu* standard = view->addMenu("&Standard Views");
    for (int index = 1; index <= COrvaView::kStandardViewCount; ++index) {
        AddCommand(*standard, kStandardViewNames[index - 1], {Qt::Key_0 + index},
                   [this, index] { m_view->ShowStandardView(index); });
    }
    view->addSeparator();
    AddCommand(*view, "Render &Again", {Qt::Key_F5}, [this] { m_view->RenderAgain(); });
    // Escape stops whatever runs: the render, the picture being saved, the export.
    AddCommand(*view, "S&top", {Qt::Key_Escape}, [this] {
        m_view->StopRender();
        CancelSavePicture();
        CancelExport();
    });
    m_refineAction = view->addAction("Re&fine Pictures");
    m_refineAction->setCheckable(true);
    m_refineAction->setStatusTip(
        "Renders a picture that stands still again, anti-aliased, while the window is idle");
    m_refineAction->setChecked(QSettings().value(kRefinePicturesKey, true).toBool());
    m_view->SetRefinePictures(m_refineAction->isChecked());
    connect(m_refineAction, &QAction::toggled, this, [this](bool on) { SetRefinePictures(on); });
    m_turningAction = view->addAction("Resolved While &Turning");
    m_turningAction->setCheckable(true);
    m_turningAction->setStatusTip(
        "Shows rendered pictures at a reduced resolution while the view is dragged, rather "
        "than the shaded preview");
    m_turningAction->setChecked(QSettings().value(kResolvedWhileTurningKey, false).toBool());
    m_view->SetResolvedWhileTurning(m_turningAction->isChecked());
    connect(m_turningAction, &QAction::toggled, this, [this](bool on) {
        m_view->SetResolvedWhileTurning(on);
        QSettings().setValue(kResolvedWhileTurningKey, on);
    });
    view->addSeparator();
    AddCommand(*view, "F&ull Screen", {Qt::Key_F11},
               [this] { setWindowState(windowState() ^ Qt::WindowFullScreen); });
}

void CMainFrame::AddHelpMenu() {
    QMenu* help = menuBar()->addMenu("&Help");
    AddCommand(*help, "&Keys and Mouse", {Qt::Key_F1}, [this] { ShowKeysAndMouse(); });
    AddRoutedCommand(*help, kCommandWebSite, "&Web Site", {});
    help->addSeparator();
    AddCommand(*help, "&About Orvatrix Viewer", {}, [this] { ShowAboutBox(this); });
}

void CMainFrame::ShowKeysAndMouse() {
    if (m_keysWindow == nullptr) {
        m_keysWindow = new CKeysAndMouseWindow(*menuBar(), this);
    }
    m_keysWindow->show();
    m_keysWindow->raise();
    m_keysWindow->activateWindow();
}

void CMainFrame::SetRefinePictures(bool refine) {
    m_view->SetRefinePictures(refine);
    QSettings().setValue(kRefinePicturesKey, refine);
}

void CMainFrame::AddToolbar() {
    QToolBar* toolbar = addToolBar("Toolbar");
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    toolbar->setContextMenuPolicy(Qt::PreventContextMenu);
    // The menus' own actions: a button says the keys that do the same.
    for (const CToolbarButton& button : kToolbarButtons) {
        QAction* action = m_commandActions.at(button.command);
        action->setIcon(ToolbarIcon(button.command));
        action->setToolTip(WithKeys(button.tooltip, action->shortcuts()));
        toolbar->addAction(action);
        m_actions.push_back(action);
    }
}

void CMainFrame::AddStatusBar() {
    m_idleText = new CElidedLabel(kIdleStatusText, this);
    m_renderStatus = new QLabel(this);
    statusBar()->addWidget(m_idleText, 1);
    statusBar()->addPermanentWidget(m_renderStatus);
    m_cancelSave = new QPushButton("Cancel", this);
    m_cancelSave->setToolTip("Stops saving the picture (Escape)");
    m_cancelSave->hide();
    statusBar()->addPermanentWidget(m_cancelSave);
    connect(m_cancelSave, &QPushButton::clicked, this, [this] { CancelSavePicture(); });
    m_cancelExport = new QPushButton("Cancel Export", this);
    m_cancelExport->setToolTip("Stops the export; no file is written (Escape)");
    m_cancelExport->hide();
    statusBar()->addPermanentWidget(m_cancelExport);
    connect(m_cancelExport, &QPushButton::clicked, this, [this] { CancelExport(); });
    connect(&m_progressTimer, &QTimer::timeout, this, [this] { ShowProgress(); });
    connect(m_view, &COrvaView::renderProgress, this, [this](int done, int rows) {
        const int percent = rows > 0 ? done * 100 / rows : 0;
        m_renderStatus->setText(QString("Rendering %1%").arg(percent));
    });
    connect(m_view, &COrvaView::renderFinished, this, [this](double seconds, bool interrupted) {
        m_renderStatus->setText(interrupted
                                    ? QString("Render stopped after %1 s").arg(seconds, 0, 'f', 2)
                                    : QString("Rendered in %1 s").arg(seconds, 0, 'f', 2));
    });
}

void CMainFrame::RunCommand(int commandId) {
    if (m_view->RunCommand(commandId)) {
        return;
    }
    if (commandId == kCommandOpenFile) {
        const std::string path = ChooseSceneFile(this, m_document.Path());
        if (!path.empty()) {
            OpenFile(path);
        }
    } else if (commandId == kCommandWebSite) {
        OpenWebSite();
    }
}

void CMainFrame::OpenFile(const std::string& path) {
    // The render reads the old scene: it must be finished before the scene is replaced, and
    // goes on when the file is not taken.
    if (!m_document.OpenDocument(path, [this] {
            m_view->StopRender();
            m_saveJob.Cancel();
            m_exportJob.Cancel();
            m_reportWindow->StopMeasuring();
        })) {
        return;
    }
    m_exportAction->setEnabled(true);
    m_view->SceneChanged();
    m_reportWindow->SceneChanged();
    setWindowTitle(QString::fromStdString(m_document.Caption()));
    ShowLoadNote(m_document.LastLoad());
}

void CMainFrame::ShowLoadNote(const CLoadReport& load) {
    if (!load.stoppedEarly) {
        statusBar()->clearMessage();
        return;
    }
    statusBar()->showMessage(QString("The file ends early: %1 %2 shown")
                                 .arg(load.count)
                                 .arg(load.count == 1 ? "object" : "objects"));
}

void CMainFrame::AskToSavePicture() {
    const std::optional<CPictureSaveSettings> settings =
        AskForPictureToSave(this, m_view->DeviceSize(), m_document.Path());
    if (settings) {
        SavePicture(*settings);
    }
}

void CMainFrame::SavePicture(const CPictureSaveSettings& settings) {
    const CViewCamera& camera = m_view->Camera();
    m_saveJob.Start(camera.CurrentViewport(), camera.displayMode, WholeScene(m_document.Scene()),
                    settings, m_view->RenderThreads(), [this](const CPictureSaveResult& result) {
                        QMetaObject::invokeMethod(
                            this, [this, result] { SaveFinished(result); }, Qt::QueuedConnection);
                    });
    m_cancelSave->show();
    m_progressTimer.start(kSaveProgressMilliseconds);
    ShowProgress();
}

void CMainFrame::CancelSavePicture() {
    // The file being written is not waited for: the job removes it and reports.
    m_saveJob.RequestCancel();
}

void CMainFrame::ShowProgress() {
    QStringList running;
    if (m_saveJob.Running()) {
        running << QString("Saving the picture %1%").arg(m_saveJob.Percent());
    }
    if (m_exportJob.Running()) {
        running << QString("Exporting %1%").arg(m_exportJob.Percent());
    }
    if (!running.isEmpty()) {
        statusBar()->showMessage(running.join(" \u2014 "));
    }
}

void CMainFrame::SaveFinished(const CPictureSaveResult& result) {
    // A newer save started meanwhile reports for itself.
    if (m_saveJob.Running()) {
        return;
    }
    if (!m_exportJob.Running()) {
        m_progressTimer.stop();
    }
    m_cancelSave->hide();
    const QString message = QString::fromStdString(result.message);
    // A failure stays until something else is said; the mouse help comes back after a success.
    statusBar()->showMessage(message,
                             result.outcome == ESaveOutcome::kFailed ? 0 : kSaveNoteMilliseconds);
    emit pictureSaveFinished(static_cast<int>(result.outcome), message);
}

void CMainFrame::AskToExport() {
    if (m_document.Path().empty()) {
        return;
    }
    const std::optional<CMeshExportSettings> settings = AskForExport(this, m_document.Path());
    if (settings) {
        ExportMeshes(*settings);
    }
}

void CMainFrame::ExportMeshes(const CMeshExportSettings& settings) {
    m_exportJob.Start(m_document.Scene(), m_document.Title(), settings, m_view->RenderThreads(),
                      [this](const CMeshExportResult& result) {
                          QMetaObject::invokeMethod(
                              this, [this, result] { ExportFinished(result); },
                              Qt::QueuedConnection);
                      });
    m_cancelExport->show();
    m_progressTimer.start(kSaveProgressMilliseconds);
    ShowProgress();
}

void CMainFrame::CancelExport() {
    // Not waited for: the job stops after the rows in progress and reports.
    m_exportJob.RequestCancel();
}

void CMainFrame::ExportFinished(const CMeshExportResult& result) {
    // A newer export started meanwhile reports for itself.
    if (m_exportJob.Running()) {
        return;
    }
    if (!m_saveJob.Running()) {
        m_progressTimer.stop();
    }
    m_cancelExport->hide();
    const QString message = QString::fromStdString(result.message);
    if (result.outcome == EExportOutcome::kWritten ||
        result.outcome == EExportOutcome::kCancelled) {
        statusBar()->showMessage(message, kSaveNoteMilliseconds);
    } else {
        // The user has to act on these (another resolution, other parts, another folder).
        statusBar()->clearMessage();
        ShowMessage(result.message);
    }
    emit exportFinished(static_cast<int>(result.outcome), message);
}

void CMainFrame::RestorePlacement() {
    RestoreWindowPlacement(*this);
    m_normalGeometry = geometry();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    SaveWindowPlacement(*this, m_normalGeometry);
    QMainWindow::closeEvent(event);
}

void CMainFrame::moveEvent(QMoveEvent* event) {
    KeepNormalGeometry();
    QMainWindow::moveEvent(event);
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
    KeepNormalGeometry();
    QMainWindow::resizeEvent(event);
}

void CMainFrame::KeepNormalGeometry() {
    // Maximised or full screen, the window's place is the screen's, not one the user chose.
    if (isVisible() && InNormalState(*this)) {
        m_normalGeometry = geometry();
    }
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedSceneFile(*event->mimeData()).empty()) {
        event->acceptProposedAction();
    }
}

void CMainFrame::dropEvent(QDropEvent* event) {
    const std::string path = DroppedSceneFile(*event->mimeData());
    if (!path.empty()) {
        event->acceptProposedAction();
        OpenFile(path);
    }
}

std::string DroppedSceneFile(const QMimeData& data) {
    for (const QUrl& url : data.urls()) {
        const QString file = url.toLocalFile();
        if (file.endsWith(".orv", Qt::CaseInsensitive)) {
            return file.toStdString();
        }
    }
    return {};
}

}  // namespace orva
