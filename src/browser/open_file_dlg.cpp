#include "browser/open_file_dlg.h"

#include <unistd.h>

#include <QApplication>
#include <QBoxLayout>
#include <QFile>
#include <QFileSystemWatcher>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QTreeWidget>
#include <QWindow>
#include <algorithm>
#include <climits>
#include <filesystem>
#include <system_error>

#include "browser/data_directory.h"
#include "browser/dialog_units.h"
#include "browser/path_line.h"
#include "browser/placeholder_thumbnail.h"
#include "browser/thumbnail_image.h"
#include "browser/thumbnail_mark.h"

namespace orva {

namespace {

// The dialog's first size and the folder tree's width in dialog units; the user may resize
// the dialog, and the file list takes what the tree leaves.
constexpr int kDialogWidth = 474;
constexpr int kDialogHeight = 321;
constexpr int kTreeWidth = 72;
constexpr int kMargin = 2;

// Thumbnails put into the list per turn of the event loop. A turn stays short (well under a
// millisecond for 48), so input and painting go on while a large folder fills.
constexpr size_t kThumbnailsPerTurn = 48;

// How long the shown folder must be quiet before its list is read again.
constexpr int kRelistDelayMs = 250;
// Marked files watched for being written anew; each costs the system a watch of its own.
constexpr int kMostWatchedFiles = 64;

// A tree item keeps the folder's name as bytes: the path is made of them, whatever the text
// shown for a name that is not valid in the locale's encoding.
constexpr int kNameRole = Qt::UserRole;
// True once a folder item holds the items of its subfolders; they are listed when the item is
// first expanded, so a deep or huge hierarchy costs nothing until the user goes there.
constexpr int kListedRole = Qt::UserRole + 1;

std::string NameOf(const QTreeWidgetItem* item) {
    return item->data(0, kNameRole).toByteArray().toStdString();
}

// A folder item whose subfolders are not listed yet shows an expander all the same.
void MarkUnlisted(QTreeWidgetItem* item) {
    item->setData(0, kListedRole, false);
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
}

void MarkListed(QTreeWidgetItem* item) {
    item->setData(0, kListedRole, true);
    item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

std::string CurrentDirectory() {
    char buffer[PATH_MAX];
    return getcwd(buffer, sizeof(buffer)) != nullptr ? std::string(buffer) : std::string(".");
}

// An unusable folder (none chosen, or one that cannot be entered) shows the folders of the
// process's current directory instead.
std::string RootOrCurrentDirectory(const std::string& folder) {
    return WithoutTrailingSlash(IsEnterableFolder(folder) ? folder : CurrentDirectory());
}

QString Decoded(const std::string& bytes) {
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

// The tree's top item shows the root folder's own name; its whole path is in the path line.
QString FolderName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos || slash + 1 == path.size() ? Decoded(path)
                                                                  : Decoded(path.substr(slash + 1));
}

std::string AbsoluteNormal(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

QPixmap BlankPicture(const QColor& colour) {
    QPixmap picture(kThumbnailSize, kThumbnailSize);
    picture.fill(colour);
    return picture;
}

}  // namespace

COpenFileDlg::COpenFileDlg(QWidget* parent)
    : QDialog(parent), m_reader(this, [this] { ShowThumbnails(); }) {
    setWindowTitle(QStringLiteral("Open File"));
    CreateControls();
    m_placeholder = QPixmap::fromImage(PlaceholderThumbnail());
    m_markedPlaceholder = QPixmap::fromImage(MarkedThumbnail(PlaceholderThumbnail()));
    m_waiting = BlankPicture(m_fileList->palette().color(QPalette::Base));
    m_watcher = new QFileSystemWatcher(this);
    m_relistTimer = new QTimer(this);
    m_relistTimer->setSingleShot(true);
    m_relistTimer->setInterval(kRelistDelayMs);
    connect(m_relistTimer, &QTimer::timeout, this, [this] { Relist(); });
    const auto changed = [this] { m_relistTimer->start(); };
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, changed);
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, changed);
}

COpenFileDlg::~COpenFileDlg() = default;

void COpenFileDlg::CreateControls() {
    const CDialogUnits units(font());
    resize(units.X(kDialogWidth), units.Y(kDialogHeight));
    CreateFolderTree(units.X(kTreeWidth));
    CreateFileList();
    m_changeFolder = new QPushButton(QStringLiteral("Change Folder…"), this);
    m_changeFolder->setObjectName(QStringLiteral("changeFolder"));
    m_changeFolder->setAutoDefault(false);
    connect(m_changeFolder, &QPushButton::clicked, this, [this] { OnChangeFolder(); });
    m_pathLine = new CPathLine(this);
    m_pathLine->setObjectName(QStringLiteral("folderPath"));

    auto* panes = new QHBoxLayout;
    panes->addWidget(m_folderTree);
    panes->addWidget(m_fileList, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_changeFolder);
    buttons->addWidget(m_pathLine, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(units.X(kMargin), units.Y(kMargin), units.X(kMargin),
                               units.Y(kMargin));
    layout->addLayout(panes, 1);
    layout->addLayout(buttons);
    // The thumbnails have the focus when the dialog opens (OnInitDialog); Tab goes on to the
    // button, then round to the tree.
    setTabOrder(m_folderTree, m_fileList);
    setTabOrder(m_fileList, m_changeFolder);
}

void COpenFileDlg::CreateFolderTree(int width) {
    m_folderTree = new QTreeWidget(this);
    m_folderTree->setObjectName(QStringLiteral("folderTree"));
    m_folderTree->setFixedWidth(width);
    m_folderTree->setHeaderHidden(true);
    m_folderTree->setRootIsDecorated(true);
    m_folderTree->setSelectionMode(QAbstractItemView::SingleSelection);
    // Deep names scroll sideways instead of being cut off in the narrow tree.
    m_folderTree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_folderTree->header()->setStretchLastSection(false);
    connect(m_folderTree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { OnFolderChanged(current); });
    connect(m_folderTree, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem* item) { ListChildFolders(item); });
}

void COpenFileDlg::CreateFileList() {
    m_fileList = new QListWidget(this);
    m_fileList->setObjectName(QStringLiteral("fileList"));
    m_fileList->setViewMode(QListView::IconMode);
    m_fileList->setIconSize(QSize(kThumbnailSize, kThumbnailSize));
    m_fileList->setMovement(QListView::Static);
    // The grid re-flows to fill the list's width whenever the dialog is resized.
    m_fileList->setResizeMode(QListView::Adjust);
    m_fileList->setWrapping(true);
    // Every item is a 100 × 100 picture with its title, so laying out thousands of them needs
    // the size of one only.
    m_fileList->setUniformItemSizes(true);
    m_fileList->setWordWrap(true);
    m_fileList->setSpacing(4);
    m_fileList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_fileList->viewport()->installEventFilter(this);
}

int COpenFileDlg::DoModal(QWidget* owner) {
    SetOwner(owner != nullptr ? owner->window() : QApplication::activeWindow());
    return exec() == QDialog::Accepted ? kIdOk : kIdCancel;
}

void COpenFileDlg::SetOwner(QWidget* owner) {
    // Transient for the main window: the window manager keeps the dialog above it and centred
    // on it. Not its Qt parent, as the dialog lives as long as the process, not the window.
    if (owner == nullptr || owner == this || owner->windowHandle() == nullptr) {
        return;
    }
    winId();
    windowHandle()->setTransientParent(owner->windowHandle());
}

QPixmap COpenFileDlg::Thumbnail(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= m_thumbnailList.size()) {
        return {};
    }
    return m_thumbnailList[static_cast<size_t>(index)];
}

bool COpenFileDlg::Marked(int index) const {
    return index >= 0 && static_cast<size_t>(index) < m_checks.size() &&
           m_checks[static_cast<size_t>(index)].Marked();
}

void COpenFileDlg::SetOpenFile(const std::string& path) {
    m_openFile = path.empty() ? path : AbsoluteNormal(path);
}

void COpenFileDlg::showEvent(QShowEvent* event) {
    // A show from the window system (restoring a minimised window) is not a new showing.
    if (!event->spontaneous()) {
        OnInitDialog();
    }
    QDialog::showEvent(event);
}

void COpenFileDlg::hideEvent(QHideEvent* event) {
    if (!event->spontaneous()) {
        // Nobody looks at the pictures of a closed dialog; the next showing reads them anew.
        m_reader.Cancel();
        m_pendingThumbnails = 0;
        StopWatching();
    }
    QDialog::hideEvent(event);
}

bool COpenFileDlg::OnInitDialog() {
    ShowRoot(StartingPlace());
    // Every showing starts on the thumbnails, with the chosen file current, so the arrow keys
    // and Enter work at once, wherever the focus was when the dialog last closed.
    m_fileList->setFocus(Qt::OtherFocusReason);
    return true;
}

CBrowserStart COpenFileDlg::StartingPlace() const {
    CBrowserStart start =
        ChooseBrowserStart({m_openFile, KnownDataDirectory(), SamplesFolder(), m_currentFolder});
    if (start.root.empty()) {
        // Nothing the browser knows of exists, not even the samples: the user is asked.
        start = {RootOrCurrentDirectory(GetDataDirectory()), m_currentFolder};
    }
    return start;
}

void COpenFileDlg::ShowRoot(const CBrowserStart& start) {
    ClearFileList();
    m_root = start.root;
    QTreeWidgetItem* root = nullptr;
    {
        // Only a selection made below fills the file list, not the items going away.
        const QSignalBlocker quiet(m_folderTree);
        m_folderTree->clear();
        // The root is a folder of the tree like the others, so its own scene files are shown.
        root = new QTreeWidgetItem(m_folderTree);
        root->setText(0, FolderName(m_root));
        root->setToolTip(0, Decoded(m_root));
        MarkUnlisted(root);
    }
    root->setExpanded(true);
    SelectRememberedFolder(root, start.folder);
}

void COpenFileDlg::SelectRememberedFolder(QTreeWidgetItem* root, const std::string& folder) {
    // A folder remembered below another root (the data directory changed) matches nothing.
    const std::string prefix = m_root == "/" ? m_root : m_root + "/";
    if (!folder.starts_with(prefix) ||
        !SelectFolderPath(root, std::string_view(folder).substr(prefix.size()))) {
        SelectFolder(root);
    }
}

void COpenFileDlg::OnChangeFolder() {
    const std::string folder = AskForFolder(kChooseDataDirectoryTitle);
    if (folder.empty()) {
        return;
    }
    ChooseDataDirectory(folder);
    m_currentFolder.clear();
    // The folder just chosen, wherever the open file is.
    ShowRoot({RootOrCurrentDirectory(GetDataDirectory()), {}});
}

void COpenFileDlg::ListChildFolders(QTreeWidgetItem* parent) {
    if (parent->data(0, kListedRole).toBool()) {
        return;
    }
    MarkListed(parent);
    // Only a folder already on the way down from the root can start a loop; the same folder
    // reached twice through side links is listed twice, as the user sees two folders.
    std::vector<CFolderId> enclosing;
    for (const QTreeWidgetItem* item = parent; item != nullptr; item = item->parent()) {
        if (const auto id = IdentifyFolder(FullPath(item))) {
            enclosing.push_back(*id);
        }
    }
    const std::string folder = FullPath(parent);
    QList<QTreeWidgetItem*> items;
    for (const std::string& name : ListSubfolders(folder)) {
        auto* item = new QTreeWidgetItem;
        const QByteArray bytes = QByteArray::fromStdString(name);
        item->setText(0, QFile::decodeName(bytes));
        // The narrow tree cuts long names; the tooltip shows them whole.
        item->setToolTip(0, item->text(0));
        item->setData(0, kNameRole, bytes);
        const auto id = IdentifyFolder(JoinPath(folder, name));
        if (id && std::find(enclosing.begin(), enclosing.end(), *id) == enclosing.end()) {
            MarkUnlisted(item);
        } else {
            MarkListed(item);
        }
        items.append(item);
    }
    // All at once: the tree sizes its column to the contents, and doing that for every one of
    // thousands of folders would take seconds.
    parent->addChildren(items);
}

bool COpenFileDlg::SelectFolderPath(QTreeWidgetItem* parent, std::string_view path) {
    ListChildFolders(parent);
    for (int i = 0; i < parent->childCount(); ++i) {
        QTreeWidgetItem* item = parent->child(i);
        const std::string name = NameOf(item);
        if (!path.starts_with(name)) {
            continue;
        }
        if (path.size() == name.size()) {
            SelectFolder(item);
            return true;
        }
        if (path[name.size()] == '/') {
            // The deepest folder of the path that still exists wins.
            if (!SelectFolderPath(item, path.substr(name.size() + 1))) {
                SelectFolder(item);
            }
            return true;
        }
    }
    return false;
}

void COpenFileDlg::SelectFolder(QTreeWidgetItem* item) {
    m_folderTree->setCurrentItem(item);
    m_folderTree->scrollToItem(item);
}

std::string COpenFileDlg::FullPath(const QTreeWidgetItem* item) const {
    // The top-level item is the root itself.
    std::vector<std::string> names;
    for (; item != nullptr && item->parent() != nullptr; item = item->parent()) {
        names.push_back(NameOf(item));
    }
    std::string path = m_root;
    for (auto name = names.rbegin(); name != names.rend(); ++name) {
        path = JoinPath(path, *name);
    }
    return path;
}

void COpenFileDlg::ClearFileList() {
    m_reader.Cancel();
    m_fileList->clear();
    m_thumbnailList.clear();
    m_scenes.clear();
    m_checks.clear();
    m_read.clear();
    m_jobRows.clear();
    m_pendingThumbnails = 0;
}

void COpenFileDlg::OnFolderChanged(QTreeWidgetItem* item) {
    if (item == nullptr) {
        return;
    }
    m_currentFolder = FullPath(item);
    m_pathLine->SetPath(Decoded(m_currentFolder));
    WatchShownFolder();
    ClearFileList();
    m_scenes = ListStampedScenes(m_currentFolder);
    m_thumbnailList.assign(m_scenes.size(), m_waiting);
    m_checks.assign(m_scenes.size(), {});
    m_read.assign(m_scenes.size(), false);
    // The titles show at once with blank pictures; the reader fills in the thumbnails in list
    // order as they are read.
    InsertItems();
    SelectChosenFile();
    ReadPendingThumbnails();
}

void COpenFileDlg::InsertItems() {
    m_fileList->setUpdatesEnabled(false);
    for (size_t row = 0; row < m_scenes.size(); ++row) {
        auto* item =
            new QListWidgetItem(QIcon(m_thumbnailList[row]), Decoded(m_scenes[row].entry.title));
        item->setToolTip(ToolTip(static_cast<int>(row)));
        m_fileList->addItem(item);
    }
    m_fileList->setUpdatesEnabled(true);
}

QString COpenFileDlg::ToolTip(int row) const {
    const QString title = Decoded(m_scenes[static_cast<size_t>(row)].entry.title);
    const QString note = QString::fromStdString(m_checks[static_cast<size_t>(row)].note);
    // A title wider than its thumbnail is cut in the grid; the tooltip shows all of it.
    const bool cut = QFontMetrics(m_fileList->font()).horizontalAdvance(title) > kThumbnailSize;
    if (note.isEmpty()) {
        return cut ? title : QString();
    }
    return cut ? title + '\n' + note : note;
}

void COpenFileDlg::SelectChosenFile() {
    if (m_scenes.empty()) {
        return;
    }
    // The open file when it is in this folder, else the file chosen last, else the first one.
    int chosen = 0;
    for (size_t i = 0; i < m_scenes.size(); ++i) {
        const std::string path = JoinPath(m_currentFolder, m_scenes[i].entry.fileName);
        if (path == m_openFile) {
            chosen = static_cast<int>(i);
            break;
        }
        if (path == m_chosenFile) {
            chosen = static_cast<int>(i);
        }
    }
    QListWidgetItem* item = m_fileList->item(chosen);
    m_fileList->setCurrentItem(item);
    m_fileList->scrollToItem(item, QAbstractItemView::PositionAtTop);
}

void COpenFileDlg::ReadPendingThumbnails() {
    std::vector<CThumbnailSource> thumbnails;
    m_jobRows.clear();
    for (size_t row = 0; row < m_scenes.size(); ++row) {
        if (m_read[row]) {
            continue;
        }
        // Without a bitmap beside it, the scene's picture comes from the shared cache.
        const CSceneEntry& scene = m_scenes[row].entry;
        thumbnails.push_back({scene.thumbnailPath, JoinPath(m_currentFolder, scene.fileName)});
        m_jobRows.push_back(static_cast<int>(row));
    }
    m_pendingThumbnails = static_cast<int>(thumbnails.size());
    m_thumbnailJob = m_reader.Start(std::move(thumbnails));
}

void COpenFileDlg::ShowThumbnails() {
    int shown = 0;
    for (CReadThumbnail& thumbnail : m_reader.Take(kThumbnailsPerTurn)) {
        if (thumbnail.job != m_thumbnailJob) {
            continue;
        }
        const int row = m_jobRows[static_cast<size_t>(thumbnail.index)];
        const bool marked = thumbnail.check.Marked();
        QPixmap picture = thumbnail.picture.isNull()
                              ? (marked ? m_markedPlaceholder : m_placeholder)
                              : QPixmap::fromImage(marked ? MarkedThumbnail(thumbnail.picture)
                                                          : thumbnail.picture);
        m_checks[static_cast<size_t>(row)] = std::move(thumbnail.check);
        m_read[static_cast<size_t>(row)] = true;
        QListWidgetItem* item = m_fileList->item(row);
        item->setIcon(QIcon(picture));
        item->setToolTip(ToolTip(row));
        m_thumbnailList[static_cast<size_t>(row)] = std::move(picture);
        if (marked) {
            WatchMarkedFile(row);
        }
        --m_pendingThumbnails;
        ++shown;
    }
    if (shown > 0) {
        emit ThumbnailsShown(m_pendingThumbnails);
    }
}

void COpenFileDlg::WatchShownFolder() {
    StopWatching();
    m_watcher->addPath(Decoded(m_currentFolder));
}

void COpenFileDlg::WatchMarkedFile(int row) {
    // A file still being written reads as cut off; the folder alone would not tell when it is
    // complete, as writing into a file changes nothing of the folder.
    if (m_watcher->files().size() < kMostWatchedFiles) {
        m_watcher->addPath(
            Decoded(JoinPath(m_currentFolder, m_scenes[static_cast<size_t>(row)].entry.fileName)));
    }
}

void COpenFileDlg::StopWatching() {
    m_relistTimer->stop();
    const QStringList watched = m_watcher->files() + m_watcher->directories();
    if (!watched.isEmpty()) {
        m_watcher->removePaths(watched);
    }
}

void COpenFileDlg::Relist() {
    if (!isVisible()) {
        return;
    }
    std::vector<CStampedScene> scenes = ListStampedScenes(m_currentFolder);
    const std::vector<int> unchanged = UnchangedRows(scenes, m_scenes);
    if (NothingChanged(unchanged, m_scenes.size())) {
        return;
    }
    const int currentRow = m_fileList->currentRow();
    const std::string currentFile =
        currentRow >= 0 ? m_scenes[static_cast<size_t>(currentRow)].entry.fileName : std::string();
    const bool selected = !m_fileList->selectedItems().isEmpty();
    const int scroll = m_fileList->verticalScrollBar()->value();

    m_reader.Cancel();
    m_scenes = std::move(scenes);
    KeepPictures(unchanged);
    m_fileList->clear();
    InsertItems();
    RestoreView(currentFile, currentRow, selected, scroll);
    // Marks of files gone or changed go with their watches; the ones kept watch anew.
    const QStringList files = m_watcher->files();
    if (!files.isEmpty()) {
        m_watcher->removePaths(files);
    }
    for (size_t row = 0; row < m_scenes.size(); ++row) {
        if (m_checks[row].Marked()) {
            WatchMarkedFile(static_cast<int>(row));
        }
    }
    ReadPendingThumbnails();
}

void COpenFileDlg::KeepPictures(const std::vector<int>& unchangedRows) {
    // The files that were read and have not changed keep their pictures and notes; the others
    // are read again.
    std::vector<QPixmap> pictures(m_scenes.size(), m_waiting);
    std::vector<CSceneCheck> checks(m_scenes.size());
    std::vector<bool> read(m_scenes.size(), false);
    for (size_t row = 0; row < m_scenes.size(); ++row) {
        const int before = unchangedRows[row];
        if (before >= 0 && m_read[static_cast<size_t>(before)]) {
            pictures[row] = m_thumbnailList[static_cast<size_t>(before)];
            checks[row] = m_checks[static_cast<size_t>(before)];
            read[row] = true;
        }
    }
    m_thumbnailList = std::move(pictures);
    m_checks = std::move(checks);
    m_read = std::move(read);
}

void COpenFileDlg::RestoreView(const std::string& currentFile, int currentRow, bool selected,
                               int scroll) {
    if (m_scenes.empty() || currentRow < 0) {
        return;
    }
    // The same file when it is still there, else the one that took its place in the list.
    int row = std::min(currentRow, static_cast<int>(m_scenes.size()) - 1);
    for (size_t i = 0; i < m_scenes.size(); ++i) {
        if (m_scenes[i].entry.fileName == currentFile) {
            row = static_cast<int>(i);
        }
    }
    m_fileList->setCurrentItem(m_fileList->item(row), selected ? QItemSelectionModel::ClearAndSelect
                                                               : QItemSelectionModel::NoUpdate);
    // The grid is laid out now, so the list stays where the user had scrolled it.
    m_fileList->doItemsLayout();
    m_fileList->verticalScrollBar()->setValue(scroll);
}

bool COpenFileDlg::eventFilter(QObject* watched, QEvent* event) {
    const bool press = event->type() == QEvent::MouseButtonPress;
    const bool release = event->type() == QEvent::MouseButtonRelease;
    if (watched != m_fileList->viewport() || !(press || release)) {
        return QDialog::eventFilter(watched, event);
    }
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton && mouse->button() != Qt::RightButton) {
        return QDialog::eventFilter(watched, event);
    }
    if (press) {
        OnListPress(mouse);
        return QDialog::eventFilter(watched, event);
    }
    OnListClick();
    // After a choice the dialog is closed; the list has nothing left to do with the click.
    return !isVisible();
}

void COpenFileDlg::OnListPress(QMouseEvent* event) {
    // A press selects the thumbnail under the mouse with either button, and a press beside
    // every thumbnail selects none, so that click chooses nothing.
    QListWidgetItem* item = m_fileList->itemAt(event->position().toPoint());
    if (item != nullptr) {
        m_fileList->setCurrentItem(item);
    } else {
        m_fileList->clearSelection();
    }
}

void COpenFileDlg::OnListClick() {
    if (!m_fileList->selectedItems().isEmpty()) {
        OnOK();
    }
}

void COpenFileDlg::OnOK() {
    const QList<QListWidgetItem*> selected = m_fileList->selectedItems();
    if (selected.isEmpty()) {
        done(QDialog::Rejected);
        return;
    }
    const int row = m_fileList->row(selected.front());
    m_chosenFile = JoinPath(m_currentFolder, m_scenes[static_cast<size_t>(row)].entry.fileName);
    done(QDialog::Accepted);
}

void COpenFileDlg::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        OnOK();
        return;
    }
    QDialog::keyPressEvent(event);
}

namespace {

COpenFileDlg* g_openFileDlg = nullptr;

void DeleteOpenFileDlg() {
    delete g_openFileDlg;
    g_openFileDlg = nullptr;
}

}  // namespace

COpenFileDlg& GetOpenFileDlg() {
    if (g_openFileDlg == nullptr) {
        g_openFileDlg = new COpenFileDlg();
        // Widgets must go before the application object does.
        qAddPostRoutine(DeleteOpenFileDlg);
    }
    return *g_openFileDlg;
}

}  // namespace orva
