#pragma once

#include <QDialog>
#include <QPixmap>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "browser/browser_start.h"
#include "browser/folder_changes.h"
#include "browser/folder_scan.h"
#include "browser/scene_check.h"
#include "browser/scene_folder.h"
#include "browser/thumbnail_reader.h"

class QFileSystemWatcher;
class QListWidget;
class QPushButton;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace orva {

class CPathLine;

// The Open File browser: the data directory and the folders below it on the left, the scene
// files of the selected folder on the right as 100 × 100 thumbnails, the folder's path below.
// One click on a thumbnail chooses it; "Change Folder…" puts another folder at the root. A
// file that will not open as it is has a marked thumbnail and says why in its tooltip. The
// list follows files added to or deleted from the folder while it is shown. The object lives
// for the whole process (GetOpenFileDlg), so it remembers the folder and the file chosen last.
class COpenFileDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kIdOk = 1;
    static constexpr int kIdCancel = 2;

    explicit COpenFileDlg(QWidget* parent = nullptr);
    ~COpenFileDlg() override;

    // Shows the dialog modally, transient for the window of `owner` (the active window when
    // none); kIdOk when a file was chosen (ChosenFile), kIdCancel otherwise.
    int DoModal(QWidget* owner = nullptr);

    // The scene open in the viewer, empty when none: the next showing opens on its folder.
    void SetOpenFile(const std::string& path);

    const std::string& ChosenFile() const { return m_chosenFile; }
    const std::string& CurrentFolder() const { return m_currentFolder; }
    const std::string& Root() const { return m_root; }

    QTreeWidget* FolderTree() const { return m_folderTree; }
    QListWidget* FileList() const { return m_fileList; }
    QPushButton* ChangeFolderButton() const { return m_changeFolder; }
    CPathLine* PathLine() const { return m_pathLine; }
    // The picture of list item `index` as it is now: the placeholder when the scene has no
    // readable bitmap nor rendered picture, a blank one while its picture is still being made.
    QPixmap Thumbnail(int index) const;
    // True when the file of list item `index` has been read and will not open as it is.
    bool Marked(int index) const;
    // Thumbnails of the shown folder that are still being read.
    int PendingThumbnails() const { return m_pendingThumbnails; }

signals:
    // Some thumbnails arrived; `pending` are still being read.
    void ThumbnailsShown(int pending);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void CreateFolderTree(int width);
    void CreateFileList();
    void SetOwner(QWidget* owner);
    bool OnInitDialog();
    CBrowserStart StartingPlace() const;
    void ShowRoot(const CBrowserStart& start);
    void ListChildFolders(QTreeWidgetItem* parent);
    void SelectRememberedFolder(QTreeWidgetItem* root, const std::string& folder);
    bool SelectFolderPath(QTreeWidgetItem* parent, std::string_view path);
    void SelectFolder(QTreeWidgetItem* item);
    std::string FullPath(const QTreeWidgetItem* item) const;
    void OnFolderChanged(QTreeWidgetItem* item);
    void InsertItems();
    QString ToolTip(int row) const;
    void SelectChosenFile();
    void ReadPendingThumbnails();
    void ShowThumbnails();
    void ClearFileList();
    void WatchShownFolder();
    void WatchMarkedFile(int row);
    void StopWatching();
    void Relist();
    void KeepPictures(const std::vector<int>& unchangedRows);
    void RestoreView(const std::string& currentFile, int currentRow, bool selected, int scroll);
    void OnListPress(QMouseEvent* event);
    void OnListClick();
    void OnOK();
    void OnChangeFolder();

    QListWidget* m_fileList = nullptr;
    QTreeWidget* m_folderTree = nullptr;
    QPushButton* m_changeFolder = nullptr;
    CPathLine* m_pathLine = nullptr;
    // The shown folder, and the files of it whose marks may go when they are written anew.
    QFileSystemWatcher* m_watcher = nullptr;
    // Changes come in bursts (a copy of many files, a file written in parts): the list is read
    // again once the folder has been quiet for a moment.
    QTimer* m_relistTimer = nullptr;
    // One picture per list item, in list order; rebuilt for every folder.
    std::vector<QPixmap> m_thumbnailList;
    std::string m_root;           // the folder whose subfolders form the top level of the tree
    std::string m_currentFolder;  // full path of the selected folder; kept between showings
    std::string m_chosenFile;     // full path of the file chosen by the last OK
    std::string m_openFile;       // full path of the scene open in the viewer
    std::vector<CStampedScene> m_scenes;  // the scene file behind each list item
    std::vector<CSceneCheck> m_checks;    // how each one reads, once read
    std::vector<bool> m_read;             // its picture and check are in
    std::vector<int> m_jobRows;           // the list row of each picture of the reader's job
    QPixmap m_placeholder;
    QPixmap m_markedPlaceholder;
    QPixmap m_waiting;  // keeps the layout of an item whose picture is still being read
    uint64_t m_thumbnailJob = 0;
    int m_pendingThumbnails = 0;
    // Last, so its thread stops before the fields it reports to go away.
    CThumbnailReader m_reader;
};

// The one dialog of the process, made on first use and deleted with the application object.
COpenFileDlg& GetOpenFileDlg();

}  // namespace orva
