#include "app/main_frame.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>

#include "app/command_ids.h"
#include "app/elided_label.h"
#include "app/orva_document.h"
#include "app/orva_view.h"
#include "app/scene_file_chooser.h"
#include "app/toolbar_icons.h"
#include "app/web_site.h"
#include "app/window_placement.h"
#include "platform/message_box.h"

namespace orva {

namespace {

struct CToolbarButton {
    int command;
    const char* tooltip;
};

constexpr CToolbarButton kToolbarButtons[] = {
    {kCommandOpenFile, "Open File"},      {kCommandViewWireframe, "Wireframe"},
    {kCommandViewRendering, "Rendering"}, {kCommandViewZoomAll, "Zoom All"},
    {kCommandViewReset, "Reset View"},
};

}  // namespace

CMainFrame::CMainFrame(COrvaDoc& document)
    : m_document(document), m_view(new COrvaView(document, this)) {
    setCentralWidget(m_view);
    AddToolbar();
    AddStatusBar();
    AddShortcuts();
    setAcceptDrops(true);
    setWindowTitle(QString::fromStdString(m_document.Caption()));
}

void CMainFrame::AddToolbar() {
    QToolBar* toolbar = addToolBar("Toolbar");
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    toolbar->setContextMenuPolicy(Qt::PreventContextMenu);
    for (const CToolbarButton& button : kToolbarButtons) {
        QAction* action = toolbar->addAction(ToolbarIcon(button.command), button.tooltip);
        action->setToolTip(button.tooltip);
        action->setData(button.command);
        const int command = button.command;
        connect(action, &QAction::triggered, this, [this, command] { RunCommand(command); });
        m_actions.push_back(action);
    }
}

void CMainFrame::AddStatusBar() {
    m_idleText = new CElidedLabel(kIdleStatusText, this);
    m_renderStatus = new QLabel(this);
    statusBar()->addWidget(m_idleText, 1);
    statusBar()->addPermanentWidget(m_renderStatus);
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

void CMainFrame::AddShortcuts() {
    // Shortcuts that no control shows, so the toolbar keeps exactly its five buttons. They
    // act wherever the focus is in the window.
    AddShortcut(QKeySequence::Open, [this] { RunCommand(kCommandOpenFile); });
    AddShortcut(QKeySequence::Save, [this] { AskToSavePicture(); });
    AddShortcut(QKeySequence::Quit, [this] { close(); });
    AddShortcut(Qt::Key_Escape, [this] { m_view->StopRender(); });
    AddShortcut(Qt::Key_F5, [this] { m_view->RenderAgain(); });
    AddShortcut(Qt::Key_F11, [this] { setWindowState(windowState() ^ Qt::WindowFullScreen); });
    for (int index = 1; index <= COrvaView::kStandardViewCount; ++index) {
        AddShortcut(Qt::Key_0 + index, [this, index] { m_view->ShowStandardView(index); });
    }
}

void CMainFrame::AddShortcut(const QKeySequence& keys, const std::function<void()>& run) {
    QAction* action = new QAction(this);
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, run);
    addAction(action);
}

void CMainFrame::RunCommand(int commandId) {
    if (m_view->RunCommand(commandId)) {
        return;
    }
    if (commandId == kCommandOpenFile) {
        const std::string path = ChooseSceneFile(this);
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
    if (!m_document.OpenDocument(path, [this] { m_view->StopRender(); })) {
        return;
    }
    m_view->SceneChanged();
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

bool CMainFrame::SavePicture(const std::string& path) {
    return m_view->grabFramebuffer().save(QString::fromStdString(path), "PNG");
}

void CMainFrame::AskToSavePicture() {
    QString path =
        QFileDialog::getSaveFileName(this, "Save Picture", QString(), "PNG pictures (*.png)");
    if (path.isEmpty()) {
        return;
    }
    // A name typed without an extension still gives a file that opens as a picture.
    if (QFileInfo(path).suffix().isEmpty()) {
        path += ".png";
    }
    if (!SavePicture(path.toStdString())) {
        ShowMessage("The picture could not be saved to " + path.toStdString() + ".");
    }
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    SaveWindowPlacement(*this);
    QMainWindow::closeEvent(event);
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
