#pragma once

#include <QMainWindow>

#include <functional>
#include <string>
#include <vector>

class QAction;
class QKeySequence;
class QLabel;
class QMimeData;

namespace orva {

class CElidedLabel;
struct CLoadReport;
class COrvaDoc;
class COrvaView;

// The main window: toolbar, the view, the status bar. It routes commands by their ids and
// opens the files the user asks for; the work is done by the document and the view.
class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    explicit CMainFrame(COrvaDoc& document);

    COrvaView& View() { return *m_view; }
    // The toolbar's actions in order, each carrying its command id as data.
    const std::vector<QAction*>& ToolbarActions() const { return m_actions; }
    CElidedLabel& IdleText() { return *m_idleText; }
    QLabel& RenderStatus() { return *m_renderStatus; }

    // Routes a command: the view's first, then the window's own.
    void RunCommand(int commandId);
    // Opens a scene file as the document, stopping the render that reads the old scene. A file
    // that cannot be taken leaves the document, the window and the render as they were.
    void OpenFile(const std::string& path);
    // Saves what the view shows as a PNG; false when it could not be written.
    bool SavePicture(const std::string& path);

protected:
    // Keeps the window's place for the next run.
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void AddToolbar();
    void AddStatusBar();
    void AddShortcuts();
    void AddShortcut(const QKeySequence& keys, const std::function<void()>& run);
    void AskToSavePicture();
    // Says in the status bar when the file ended before its end mark, until the next open.
    void ShowLoadNote(const CLoadReport& load);

    COrvaDoc& m_document;
    COrvaView* m_view;
    std::vector<QAction*> m_actions;
    CElidedLabel* m_idleText = nullptr;
    QLabel* m_renderStatus = nullptr;
};

// The scene file a drop carries, if any: the first local file ending in ".orv".
std::string DroppedSceneFile(const QMimeData& data);

}  // namespace orva
