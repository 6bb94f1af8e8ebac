#pragma once

#include <QKeySequence>
#include <QList>
#include <QMainWindow>
#include <QTimer>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/mesh_export_job.h"
#include "app/picture_save_job.h"

class QAction;
class QLabel;
class QMenu;
class QMimeData;
class QPushButton;

namespace orva {

class CElidedLabel;
class CJewelReportWindow;
class CKeysAndMouseWindow;
struct CLoadReport;
struct CPictureSaveSettings;
class COrvaDoc;
class COrvaView;

// The main window: toolbar, the view, the status bar. It routes commands by their ids and
// opens the files the user asks for; the work is done by the document and the view.
class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    explicit CMainFrame(COrvaDoc& document);
    ~CMainFrame() override;

    COrvaView& View() { return *m_view; }
    // The toolbar's actions in order, each carrying its command id as data; the same actions
    // are the menus' entries.
    const std::vector<QAction*>& ToolbarActions() const { return m_actions; }
    CElidedLabel& IdleText() { return *m_idleText; }
    QLabel& RenderStatus() { return *m_renderStatus; }

    // Gives the window the place it had when last closed (not shown yet).
    void RestorePlacement();
    // Routes a command: the view's first, then the window's own.
    void RunCommand(int commandId);
    // Opens a scene file as the document, stopping the render that reads the old scene. A file
    // that cannot be taken leaves the document, the window and the render as they were.
    void OpenFile(const std::string& path);
    // Starts saving a picture of the view as the settings say, in the background; the status
    // bar shows its progress and then its outcome. A picture still being saved is cancelled.
    void SavePicture(const CPictureSaveSettings& settings);
    // Cancels the picture being saved, if any, without waiting for it.
    void CancelSavePicture();
    bool SavingPicture() const { return m_saveJob.Running(); }
    // Starts exporting the scene's piece as meshes as the settings say, in the background; the
    // status bar shows its progress and where it was written, a message box why it was not.
    // An export still running is cancelled.
    void ExportMeshes(const CMeshExportSettings& settings);
    // Cancels the export running, if any, without waiting for it; it leaves no file.
    void CancelExport();
    bool Exporting() const { return m_exportJob.Running(); }
    // The entries of the menu bar, for tests.
    QAction& SavePictureAction() { return *m_savePictureAction; }
    QAction& ExportAction() { return *m_exportAction; }
    QPushButton& CancelExportButton() { return *m_cancelExport; }
    QAction& RefinePicturesAction() { return *m_refineAction; }
    QAction& ResolvedWhileTurningAction() { return *m_turningAction; }
    QAction& ReportAction() { return *m_reportAction; }
    // The jeweller's report on the scene, shown by ReportAction.
    CJewelReportWindow& ReportWindow() { return *m_reportWindow; }

signals:
    // A picture save ended; `outcome` is an ESaveOutcome.
    void pictureSaveFinished(int outcome, const QString& message);
    // An export ended; `outcome` is an EExportOutcome.
    void exportFinished(int outcome, const QString& message);

protected:
    // Keeps the window's place for the next run.
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void AddMenus();
    void AddToolbar();
    void AddStatusBar();
    void AddFileMenu();
    void AddViewMenu();
    void AddHelpMenu();
    // Adds an entry to `menu` whose keys act anywhere in the window.
    QAction* AddCommand(QMenu& menu, const QString& text, const QList<QKeySequence>& keys,
                        const std::function<void()>& run);
    // Adds an entry that gives command `commandId` through RunCommand; the toolbar shares it.
    QAction* AddRoutedCommand(QMenu& menu, int commandId, const QString& text,
                              const QList<QKeySequence>& keys);
    void ShowKeysAndMouse();
    // Follows the window's place while it is in its normal state.
    void KeepNormalGeometry();
    void AskToSavePicture();
    // Says how far the picture being saved and the export have got.
    void ShowProgress();
    void SaveFinished(const CPictureSaveResult& result);
    void AskToExport();
    void ExportFinished(const CMeshExportResult& result);
    void SetRefinePictures(bool refine);
    // Says in the status bar when the file ended before its end mark, until the next open.
    void ShowLoadNote(const CLoadReport& load);

    COrvaDoc& m_document;
    COrvaView* m_view;
    std::vector<QAction*> m_actions;
    std::map<int, QAction*> m_commandActions;     // the menus' entries that carry a command id
    CKeysAndMouseWindow* m_keysWindow = nullptr;  // made when first asked for
    QRect m_normalGeometry;                       // the window's last place in its normal state
    CElidedLabel* m_idleText = nullptr;
    QLabel* m_renderStatus = nullptr;
    QAction* m_savePictureAction = nullptr;
    QAction* m_exportAction = nullptr;
    QAction* m_refineAction = nullptr;
    QAction* m_turningAction = nullptr;
    QAction* m_reportAction = nullptr;
    CJewelReportWindow* m_reportWindow;
    QPushButton* m_cancelSave = nullptr;
    QPushButton* m_cancelExport = nullptr;
    QTimer m_progressTimer;  // runs while a picture is saved or an export runs
    CPictureSaveJob m_saveJob;
    CMeshExportJob m_exportJob;
};

// The scene file a drop carries, if any: the first local file ending in ".orv".
std::string DroppedSceneFile(const QMimeData& data);

}  // namespace orva
