#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QWindow>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <set>

#include "browser/data_directory.h"
#include "browser/folder_dialog.h"
#include "browser/open_file_dlg.h"
#include "browser/path_line.h"
#include "browser/placeholder_thumbnail.h"
#include "browser/thumbnail_image.h"
#include "browser/thumbnail_mark.h"
#include "folder_question_stub.h"
#include "image/bmp_bytes.h"
#include "private_settings.h"
#include "scene/scene_file.h"
#include "test_folder.h"

namespace orva {

namespace {

using test::CTestFolder;

QStringList Titles(const QListWidget* list) {
    QStringList titles;
    for (int i = 0; i < list->count(); ++i) {
        titles << list->item(i)->text();
    }
    return titles;
}

QStringList Children(const QTreeWidgetItem* item) {
    QStringList names;
    for (int i = 0; i < item->childCount(); ++i) {
        names << item->child(i)->text(0);
    }
    return names;
}

// The folders of the first level: the items under the root, the tree's only top-level item.
QStringList Names(const QTreeWidget* tree) {
    return tree->topLevelItemCount() == 1 ? Children(tree->topLevelItem(0)) : QStringList{"?"};
}

// "b/deep" for the item "deep" under the folder "b" of the root; empty for the root.
QString TreePath(const QTreeWidgetItem* item) {
    QStringList names;
    for (; item != nullptr && item->parent() != nullptr; item = item->parent()) {
        names.prepend(item->text(0));
    }
    return item == nullptr ? QString("(nothing)") : names.join('/');
}

// The item of `path` below the root, opened down to it and itself as a user would.
QTreeWidgetItem* FindFolder(const QTreeWidget* tree, const QString& path) {
    QTreeWidgetItem* found = tree->topLevelItem(0);
    for (const QString& name : path.split('/')) {
        found->setExpanded(true);
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; i < found->childCount() && next == nullptr; ++i) {
            QTreeWidgetItem* item = found->child(i);
            if (item->text(0) == name) {
                next = item;
            }
        }
        if (next == nullptr) {
            return nullptr;
        }
        found = next;
    }
    found->setExpanded(true);
    return found;
}

// What the list shows for an item, as 32-bit pixels.
QImage Shown(const QListWidgetItem* item) {
    return item->icon()
        .pixmap(QSize(kThumbnailSize, kThumbnailSize))
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

std::array<uint8_t, 3> Bgr(QRgb colour) {
    return {uint8_t(qBlue(colour)), uint8_t(qGreen(colour)), uint8_t(qRed(colour))};
}

// The first pixel of a 100 × 100 thumbnail that is not what `expected` paints, as
// "x,y: blue green red shown, blue green red expected"; empty when all of them are.
QString FirstDifference(const QImage& shown, const test::BitmapPainter& expected) {
    const auto text = [](const std::array<uint8_t, 3>& bgr) {
        return QString("%1 %2 %3").arg(int(bgr[0])).arg(int(bgr[1])).arg(int(bgr[2]));
    };
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 100; ++x) {
            const auto got = Bgr(shown.pixel(x, y));
            const auto want = expected(x, y);
            if (got != want) {
                return QString("%1,%2: %3 shown, %4 expected")
                    .arg(x)
                    .arg(y)
                    .arg(text(got), text(want));
            }
        }
    }
    return {};
}

// A bitmap of one colour, given as blue, green, red.
test::BitmapPainter Plain(uint8_t blue, uint8_t green, uint8_t red) {
    return [=](int, int) { return std::array<uint8_t, 3>{blue, green, red}; };
}

void WriteScenes(const CTestFolder& folder, std::initializer_list<const char*> names) {
    for (const char* name : names) {
        folder.WriteScene(name);
    }
}

bool WaitForThumbnails(const COpenFileDlg& dialog) {
    return QTest::qWaitFor([&] { return dialog.PendingThumbnails() == 0; }, 20000);
}

// Shows the dialog without a modal loop of its own, so the test drives it, and waits until
// it is the active window, with the focus on its thumbnails as for a user, and every
// thumbnail is in.
bool Open(COpenFileDlg& dialog) {
    dialog.show();
    dialog.activateWindow();
    return QTest::qWaitForWindowActive(&dialog) &&
           QTest::qWaitFor([&] { return dialog.FileList()->hasFocus(); }) &&
           WaitForThumbnails(dialog);
}

// Points the data directory at `folder` and opens the dialog there.
bool OpenOn(COpenFileDlg& dialog, const CTestFolder& folder) {
    SetDataDirectory(folder.Path());
    return Open(dialog);
}

QPoint CentreOf(QListWidget* list, int row) {
    list->scrollToItem(list->item(row));
    return list->visualItemRect(list->item(row)).center();
}

// Clicks the thumbnail in `row` of the file list, scrolled into view first.
void ClickFile(const COpenFileDlg& dialog, int row, Qt::MouseButton button = Qt::LeftButton) {
    QListWidget* list = dialog.FileList();
    QTest::mouseClick(list->viewport(), button, {}, CentreOf(list, row));
}

// A point of the list's viewport that no thumbnail covers: past the last item.
QPoint EmptySpot(QListWidget* list) {
    const QRect last = list->visualItemRect(list->item(list->count() - 1));
    return QPoint(list->viewport()->width() - 5, last.bottom() + 20);
}

std::vector<uint8_t> SampleBytes(const std::string& name) {
    std::ifstream file(std::string(ORVA_SAMPLES_DIR) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// What the loader says of the file: its own count is the one the tooltip must repeat.
CLoadReport LoaderReport(const std::string& path) {
    CSceneAnchor scene;
    CLoadReport report;
    ReadSceneFile(scene, path, report);
    return report;
}

// The first `length` bytes of `bytes`, written as `name` in `folder`; the loader's report of it.
CLoadReport WriteCutOff(const CTestFolder& folder, const std::string& name,
                        const std::vector<uint8_t>& bytes, size_t length) {
    folder.WriteBytes(name, std::vector<uint8_t>(bytes.begin(), bytes.begin() + length));
    return LoaderReport(folder.Path(name));
}

// The row of the list whose title is `title`; -1 when there is none.
int RowOf(const QListWidget* list, const QString& title) {
    const QList<QListWidgetItem*> found = list->findItems(title, Qt::MatchExactly);
    return found.isEmpty() ? -1 : list->row(found.front());
}

QString CurrentTitle(const QListWidget* list) {
    return list->currentItem() != nullptr ? list->currentItem()->text() : QString("(none)");
}

// Moves the process into another working folder and back, also when a test stops early: the
// dialog falls back to the working folder when the data directory is of no use.
class CWorkingFolderChange {
public:
    CWorkingFolderChange() = default;
    ~CWorkingFolderChange() {
        if (!m_previous.empty()) {
            Leave();
        }
    }
    CWorkingFolderChange(const CWorkingFolderChange&) = delete;
    CWorkingFolderChange& operator=(const CWorkingFolderChange&) = delete;

    // Remembers the working folder and enters `path`; false when either fails.
    bool Enter(const std::string& path) {
        std::error_code error;
        m_previous = std::filesystem::current_path(error);
        if (error) {
            return false;
        }
        std::filesystem::current_path(path, error);
        return !error;
    }

    // Back to the folder Enter left; false when that fails or nothing was entered.
    bool Leave() {
        if (m_previous.empty()) {
            return false;
        }
        std::error_code error;
        std::filesystem::current_path(m_previous, error);
        m_previous.clear();
        return !error;
    }

private:
    std::filesystem::path m_previous;
};

}  // namespace

class OpenFileDlgTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_question.Install();
        // No shipped samples unless a test puts some there.
        SetSamplesFolder(m_noSamples.Path("none"));
    }

    void cleanup() {
        SetDataDirectory({});
        QSettings().clear();
    }

    void dialogIsTransientResizableAndItsGridFillsTheWidth() {
        CTestFolder folder("grid");
        for (int i = 0; i < 30; ++i) {
            folder.WriteScene(QString("s%1.orv").arg(i, 2, 10, QChar('0')).toStdString());
        }
        const QString longTitle = "a title far too long to fit below its thumbnail";
        folder.WriteScene(longTitle.toStdString() + ".orv");
        SetDataDirectory(folder.Path());
        QWidget owner;
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        COpenFileDlg dialog;
        QWindow* transientParent = nullptr;
        QTimer::singleShot(0, &dialog, [&] {
            transientParent = dialog.windowHandle()->transientParent();
            dialog.reject();
        });
        QCOMPARE(dialog.DoModal(&owner), COpenFileDlg::kIdCancel);
        QCOMPARE(transientParent, owner.windowHandle());

        QVERIFY(Open(dialog));
        QCOMPARE(dialog.windowTitle(), QString("Open File"));
        QVERIFY(dialog.minimumWidth() < dialog.maximumWidth());
        QListWidget* list = dialog.FileList();
        QCOMPARE(list->viewMode(), QListView::IconMode);
        QCOMPARE(list->iconSize(), QSize(100, 100));
        // Thumbnails in the first row, and the viewport's width they leave free.
        const auto firstRow = [list] {
            int count = 0;
            while (count < list->count() && list->visualItemRect(list->item(count)).top() ==
                                                list->visualItemRect(list->item(0)).top()) {
                ++count;
            }
            return count;
        };
        const auto unused = [&] {
            return list->viewport()->width() -
                   list->visualItemRect(list->item(firstRow() - 1)).right();
        };
        for (const int width : {700, 1200}) {
            dialog.resize(width, 500);
            QTRY_VERIFY(list->width() > width - dialog.FolderTree()->width() - 40);
            QTRY_VERIFY2(unused() < list->visualItemRect(list->item(0)).width() + 20,
                         qPrintable(QString("%1 pixels unused at %2").arg(unused()).arg(width)));
        }
        QVERIFY(firstRow() >= 8);
        QCOMPARE(list->findItems("s00", Qt::MatchExactly).value(0)->toolTip(), QString());
        QCOMPARE(list->findItems(longTitle, Qt::MatchExactly).value(0)->toolTip(), longTitle);
        QTest::keyClick(&dialog, Qt::Key_Escape);
    }

    void titlesAreSortedIgnoringCase() {
        CTestFolder folder("sorted");
        WriteScenes(folder, {"b.orv", "A.orv", "c.orv", "B_2.orv"});
        COpenFileDlg dialog;
        QVERIFY(OpenOn(dialog, folder));
        QCOMPARE(Titles(dialog.FileList()), QStringList({"A", "b", "B_2", "c"}));
        QCOMPARE(m_question.asked, 0);
    }

    void hundredSquareBitmapIsShownPixelForPixel() {
        CTestFolder folder("exact");
        folder.WriteScene("ring.orv");
        const auto paint = [](int x, int y) {
            return std::array<uint8_t, 3>{uint8_t(x * 2), uint8_t(y * 2), uint8_t(x * 7 + y * 3)};
        };
        folder.WriteBitmap("ring.bmp", 100, 100, paint);
        COpenFileDlg dialog;
        QVERIFY(OpenOn(dialog, folder));
        const QImage shown = Shown(dialog.FileList()->item(0));
        QCOMPARE(shown.size(), QSize(100, 100));
        QCOMPARE(FirstDifference(shown, paint), QString());
    }

    void largerBitmapIsStretchedToAHundredSquare() {
        CTestFolder folder("stretched");
        folder.WriteScene("wide.orv");
        // Four quarters of different colours: each must fill one quarter of the thumbnail,
        // the top ones at the top.
        const auto quarter = [](int x, int y, int width, int height) {
            const int index = (x < width / 2 ? 0 : 1) + (y < height / 2 ? 0 : 2);
            const std::array<std::array<uint8_t, 3>, 4> colours{
                {{200, 0, 0}, {0, 200, 0}, {0, 0, 200}, {90, 90, 20}}};
            return colours[static_cast<size_t>(index)];
        };
        folder.WriteBitmap("wide.bmp", 200, 150,
                           [&](int x, int y) { return quarter(x, y, 200, 150); });
        COpenFileDlg dialog;
        QVERIFY(OpenOn(dialog, folder));
        const QImage shown = Shown(dialog.FileList()->item(0));
        QCOMPARE(shown.size(), QSize(100, 100));
        QCOMPARE(FirstDifference(shown, [&](int x, int y) { return quarter(x, y, 100, 100); }),
                 QString());
    }

    void missingOrUnreadableBitmapShowsThePlaceholder() {
        CTestFolder folder("placeholder");
        folder.WriteScene("alone.orv");
        folder.WriteScene("broken.orv");
        folder.WriteBytes("broken.bmp", {'B', 'X', 0, 0, 0, 0});
        // A top-down file: other readers take it, ours refuses it, so it must not show.
        folder.WriteScene("topdown.orv");
        test::BmpFileLayout layout;
        layout.width = 100;
        layout.height = -100;
        layout.rows.assign(300 * 100, 0x40);
        folder.WriteBytes("topdown.bmp", test::MakeBmpBytes(layout));
        folder.WriteScene("pictured.orv");
        folder.WriteBitmap("pictured.bmp", 100, 100, Plain(10, 20, 30));
        COpenFileDlg dialog;
        QVERIFY(OpenOn(dialog, folder));
        QCOMPARE(Titles(dialog.FileList()),
                 QStringList({"alone", "broken", "pictured", "topdown"}));

        const QImage placeholder = PlaceholderThumbnail().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(placeholder.size(), QSize(100, 100));
        std::set<QRgb> colours;
        for (int y = 0; y < 100; y += 5) {
            for (int x = 0; x < 100; x += 5) {
                colours.insert(placeholder.pixel(x, y));
            }
        }
        QVERIFY2(colours.size() > 2, "the placeholder is a picture, not a plain square");
        for (int row : {0, 1, 3}) {
            QCOMPARE(Shown(dialog.FileList()->item(row)), placeholder);
        }
        QVERIFY(Shown(dialog.FileList()->item(2)) != placeholder);
    }

    void bitmapWithoutSceneIsNotListed() {
        CTestFolder folder("orphan");
        folder.WriteScene("listed.orv");
        folder.WriteBitmap("orphan.bmp", 100, 100, Plain(1, 2, 3));
        folder.MakeFolder("folder.orv");  // a folder is not a scene file
        COpenFileDlg dialog;
        QVERIFY(OpenOn(dialog, folder));
        QCOMPARE(Titles(dialog.FileList()), QStringList({"listed"}));
    }

    void rootIsInTheTreeAndSelectedFirstWithItsOwnFiles() {
        CTestFolder folder("root");
        folder.WriteScene("top.orv");
        folder.WriteScene("sub/inner.orv");
        COpenFileDlg dialog;
        QVERIFY(OpenOn(dialog, folder));
        QTreeWidget* tree = dialog.FolderTree();
        QCOMPARE(tree->topLevelItemCount(), 1);
        // The root shows its own name; its whole path is the tooltip and the path line's.
        const QString name = QString::fromStdString(folder.Path()).section('/', -1);
        QCOMPARE(tree->topLevelItem(0)->text(0), name);
        QCOMPARE(tree->topLevelItem(0)->toolTip(0), QString::fromStdString(folder.Path()));
        QCOMPARE(Names(tree), QStringList({"sub"}));
        QCOMPARE(TreePath(tree->currentItem()), QString());
        QCOMPARE(Titles(dialog.FileList()), QStringList({"top"}));
        QCOMPARE(dialog.CurrentFolder(), folder.Path());
        // For a look: the chosen folder at the top of the tree, its own scene listed.
        QDir().mkpath("screenshots");
        dialog.grab().save("screenshots/open_file_dialog.png");
        tree->setCurrentItem(FindFolder(tree, "sub"));
        QCOMPARE(Titles(dialog.FileList()), QStringList({"inner"}));
    }

    void changedFolderBecomesTheRootAndIsRememberedForTheNextRun() {
        CTestFolder first("first");
        CTestFolder second("second");
        first.WriteScene("old.orv");
        second.WriteScene("new.orv");
        second.MakeFolder("inside");
        COpenFileDlg dialog;
        QVERIFY(OpenOn(dialog, first));
        m_question.answer = second.Path();
        QTest::mouseClick(dialog.ChangeFolderButton(), Qt::LeftButton);
        QVERIFY(WaitForThumbnails(dialog));
        QCOMPARE(m_question.asked, 1);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.Root(), second.Path());
        QCOMPARE(Names(dialog.FolderTree()), QStringList({"inside"}));
        QCOMPARE(Titles(dialog.FileList()), QStringList({"new"}));
        // A cancelled question changes nothing.
        m_question.answer.clear();
        QTest::mouseClick(dialog.ChangeFolderButton(), Qt::LeftButton);
        QCOMPARE(dialog.Root(), second.Path());
        QTest::keyClick(&dialog, Qt::Key_Escape);

        // The next run starts with nothing set and finds the folder without asking.
        SetDataDirectory({});
        COpenFileDlg nextRun;
        QVERIFY(Open(nextRun));
        QCOMPARE(m_question.asked, 2);
        QCOMPARE(Titles(nextRun.FileList()), QStringList({"new"}));
        QTest::keyClick(&nextRun, Qt::Key_Escape);
    }

    void deepTreeOpensAtOnceAndListsFoldersWhenOpened() {
        CTestFolder folder("deep");
        std::string path = "d";
        for (int depth = 1; depth < 200; ++depth) {
            path += "/d";
        }
        folder.MakeFolder(path);
        for (int i = 0; i < 500; ++i) {
            folder.MakeFolder("e/" + std::to_string(i) + "/below");
        }
        COpenFileDlg dialog;
        QElapsedTimer clock;
        clock.start();
        QVERIFY(OpenOn(dialog, folder));
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString("%1 ms").arg(clock.elapsed())));
        QTreeWidget* tree = dialog.FolderTree();
        QCOMPARE(Names(tree), QStringList({"d", "e"}));
        QTreeWidgetItem* first = tree->topLevelItem(0)->child(0);
        QCOMPARE(first->childCount(), 0);
        QCOMPARE(first->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
        first->setExpanded(true);
        QCOMPARE(Children(first), QStringList({"d"}));
        QCOMPARE(first->child(0)->childCount(), 0);
        QTreeWidgetItem* wide = FindFolder(tree, "e");
        QCOMPARE(wide->childCount(), 500);
        QCOMPARE(wide->child(499)->childCount(), 0);
        QTest::keyClick(&dialog, Qt::Key_Escape);
    }

    void pseudoFileSystemsAreNotListed() {
        SetDataDirectory("/");
        COpenFileDlg dialog;
        QElapsedTimer clock;
        clock.start();
        QVERIFY(Open(dialog));
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString("%1 ms").arg(clock.elapsed())));
        const QStringList names = Names(dialog.FolderTree());
        QVERIFY2(names.contains("usr") && !names.contains("proc") && !names.contains("sys"),
                 qPrintable(names.join(' ')));
        QTest::keyClick(&dialog, Qt::Key_Escape);
    }

    void foldersOfTheWholeHierarchyAreSortedPerLevel() {
        CTestFolder folder("hierarchy");
        for (const char* path : {"b/y/deep/deeper", "a", "B2", "b/X", "C"}) {
            folder.MakeFolder(path);
        }
        COpenFileDlg dialog;
        QVERIFY(OpenOn(dialog, folder));
        QTreeWidget* tree = dialog.FolderTree();
        QCOMPARE(Names(tree), QStringList({"a", "b", "B2", "C"}));
        QCOMPARE(Children(FindFolder(tree, "b")), QStringList({"X", "y"}));
        QVERIFY(FindFolder(tree, "b/y/deep/deeper") != nullptr);
        QCOMPARE(TreePath(tree->currentItem()), QString());
    }

    void reopeningSelectsTheSameFolderAndTheChosenFileInView() {
        CTestFolder folder("reopen");
        folder.WriteScene("a/first.orv");
        for (int i = 0; i < 90; ++i) {
            folder.WriteScene(QString("b/deep/s%1.orv").arg(i, 2, 10, QChar('0')).toStdString());
        }
        COpenFileDlg& dialog = GetOpenFileDlg();
        QCOMPARE(&GetOpenFileDlg(), &dialog);
        QVERIFY(OpenOn(dialog, folder));
        QCOMPARE(TreePath(dialog.FolderTree()->currentItem()), QString());

        dialog.FolderTree()->setCurrentItem(FindFolder(dialog.FolderTree(), "b/deep"));
        QCOMPARE(dialog.FileList()->count(), 90);
        QListWidget* list = dialog.FileList();
        ClickFile(dialog, 80);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.ChosenFile(), folder.Path("b/deep/s80.orv"));

        // Whatever the list showed last, the reopened one must bring the chosen file to view.
        list->scrollToTop();
        QVERIFY(Open(dialog));
        QCOMPARE(TreePath(dialog.FolderTree()->currentItem()), QString("b/deep"));
        QListWidgetItem* chosen = list->currentItem();
        QVERIFY(chosen != nullptr);
        QCOMPARE(chosen->text(), QString("s80"));
        QVERIFY(chosen->isSelected());
        QVERIFY2(list->verticalScrollBar()->value() > 0, "the chosen file is far down the list");
        QVERIFY(list->viewport()->rect().contains(list->visualItemRect(chosen)));
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCOMPARE(dialog.ChosenFile(), folder.Path("b/deep/s80.orv"));
    }

    void deletedRememberedFolderSelectsItsDeepestExistingParent() {
        CTestFolder folder("deleted");
        folder.WriteScene("a/b/c/inside.orv");
        folder.WriteScene("a/b/parent.orv");
        folder.MakeFolder("z");
        COpenFileDlg dialog;
        QVERIFY(OpenOn(dialog, folder));
        dialog.FolderTree()->setCurrentItem(FindFolder(dialog.FolderTree(), "a/b/c"));
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(dialog.CurrentFolder(), folder.Path("a/b/c"));

        folder.Remove("a/b/c");
        QVERIFY(Open(dialog));
        QCOMPARE(TreePath(dialog.FolderTree()->currentItem()), QString("a/b"));
        QCOMPARE(Titles(dialog.FileList()), QStringList({"parent"}));
        QTest::keyClick(&dialog, Qt::Key_Escape);

        // Nothing of the path is left: the root is selected, and it holds no scene.
        folder.Remove("a");
        QVERIFY(Open(dialog));
        QCOMPARE(Names(dialog.FolderTree()), QStringList({"z"}));
        QCOMPARE(TreePath(dialog.FolderTree()->currentItem()), QString());
        QCOMPARE(dialog.FileList()->count(), 0);
        QTest::keyClick(&dialog, Qt::Key_Escape);
    }

    void clickOnEmptySpaceDoesNotClose() {
        CTestFolder folder("empty-space");
        WriteScenes(folder, {"one.orv", "two.orv"});
        COpenFileDlg dialog;
        QVERIFY(OpenOn(dialog, folder));
        QListWidget* list = dialog.FileList();
        QVERIFY(list->currentItem()->isSelected());  // the first file is selected at start
        const QPoint spot = EmptySpot(list);
        QVERIFY(list->itemAt(spot) == nullptr);
        for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
            QTest::mouseClick(list->viewport(), button, {}, spot);
            QVERIFY(dialog.isVisible());
            QVERIFY(list->selectedItems().isEmpty());
        }
        QVERIFY(dialog.ChosenFile().empty());
        QTest::keyClick(&dialog, Qt::Key_Escape);
    }

    void rightClickChoosesLikeALeftClick() {
        CTestFolder folder("right-click");
        WriteScenes(folder, {"one.orv", "three.orv", "two.orv"});
        COpenFileDlg dialog;
        QVERIFY(OpenOn(dialog, folder));
        ClickFile(dialog, 2, Qt::RightButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.ChosenFile(), folder.Path("two.orv"));

        QVERIFY(Open(dialog));
        ClickFile(dialog, 1);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.ChosenFile(), folder.Path("three.orv"));
    }

    void enterChoosesTheSelectedFileAndCancelsWithoutOne() {
        CTestFolder folder("enter");
        folder.WriteScene("full/only.orv");
        folder.WriteBitmap("none/picture.bmp", 100, 100, Plain(1, 2, 3));
        COpenFileDlg dialog;
        QVERIFY(OpenOn(dialog, folder));
        dialog.FolderTree()->setCurrentItem(FindFolder(dialog.FolderTree(), "none"));
        QCOMPARE(dialog.FileList()->count(), 0);
        QTest::keyClick(dialog.FolderTree(), Qt::Key_Return);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(dialog.ChosenFile().empty());

        QVERIFY(Open(dialog));
        QCOMPARE(TreePath(dialog.FolderTree()->currentItem()), QString("none"));
        dialog.FolderTree()->setCurrentItem(FindFolder(dialog.FolderTree(), "full"));
        QTest::keyClick(dialog.FolderTree(), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.ChosenFile(), folder.Path("full/only.orv"));
    }

    void doModalAnswersOkOrCancel() {
        CTestFolder folder("modal");
        folder.WriteScene("gem.orv");
        SetDataDirectory(folder.Path());
        COpenFileDlg dialog;
        // A stuck modal loop must fail the test, not hang it.
        QTimer guard;
        guard.setSingleShot(true);
        connect(&guard, &QTimer::timeout, &dialog, &QDialog::reject);

        guard.start(20000);
        QTimer::singleShot(0, &dialog, [&] { ClickFile(dialog, 0); });
        QCOMPARE(dialog.DoModal(), COpenFileDlg::kIdOk);
        QCOMPARE(dialog.ChosenFile(), folder.Path("gem.orv"));

        QTimer::singleShot(0, &dialog, [&] { QTest::keyClick(&dialog, Qt::Key_Escape); });
        QCOMPARE(dialog.DoModal(), COpenFileDlg::kIdCancel);
        QVERIFY(guard.isActive());
        QCOMPARE(dialog.ChosenFile(), folder.Path("gem.orv"));
    }

    void chosenFileKeepsTheCaseOfItsName() {
        CTestFolder folder("case");
        folder.WriteScene("Ring.ORV");
        folder.WriteBitmap("RING.BMP", 100, 100, Plain(0, 0, 255));
        COpenFileDlg dialog;
        QVERIFY(OpenOn(dialog, folder));
        QCOMPARE(Titles(dialog.FileList()), QStringList({"Ring"}));
        QCOMPARE(Shown(dialog.FileList()->item(0)).pixel(50, 50), qRgb(255, 0, 0));
        ClickFile(dialog, 0);
        QCOMPARE(dialog.ChosenFile(), folder.Path("Ring.ORV"));
    }

    void emptyDataDirectoryFallsBackToTheCurrentFolder() {
        CTestFolder folder("fallback");
        folder.MakeFolder("here/below");
        folder.WriteScene("scene.orv");
        CWorkingFolderChange workingFolder;
        QVERIFY(workingFolder.Enter(folder.Path()));
        COpenFileDlg dialog;
        const bool opened = Open(dialog);
        const QStringList names = Names(dialog.FolderTree());
        const QStringList titles = Titles(dialog.FileList());
        const std::string root = dialog.Root();
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(workingFolder.Leave());

        QVERIFY(opened);
        QCOMPARE(m_question.asked, 1);
        QCOMPARE(m_question.title, std::string("Choose the directory of orv files"));
        QCOMPARE(root, folder.Path());
        QCOMPARE(names, QStringList({"here"}));
        QCOMPARE(titles, QStringList({"scene"}));
    }

    void dataDirectoryThatCannotBeEnteredFallsBackToTheCurrentFolder() {
        CTestFolder folder("unusable");
        folder.MakeFolder("cwd/mine");
        CWorkingFolderChange workingFolder;
        QVERIFY(workingFolder.Enter(folder.Path("cwd")));
        SetDataDirectory(folder.Path("missing"));
        COpenFileDlg dialog;
        const bool opened = Open(dialog);
        const QStringList names = Names(dialog.FolderTree());
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(workingFolder.Leave());
        QVERIFY(opened);
        QCOMPARE(m_question.asked, 0);
        QCOMPARE(names, QStringList({"mine"}));
    }

    void symbolicLinkLoopsDoNotHangTheFolderScan() {
        CTestFolder folder("loops");
        folder.WriteScene("a/inside/gem.orv");
        // Two ways back up on every level: followed blindly they make 2^40 paths before the
        // system's link limit stops them.
        folder.Link("a/up", "..");
        folder.Link("a/self", ".");
        folder.Link("a/inside/top", folder.Path());
        folder.Link("a/inside/back", "..");
        COpenFileDlg dialog;
        // Returning at all is the first check: a scan that followed the links would not end
        // before the test's time limit.
        QVERIFY(OpenOn(dialog, folder));
        QTreeWidget* tree = dialog.FolderTree();
        QCOMPARE(Names(tree), QStringList({"a"}));
        QCOMPARE(Children(FindFolder(tree, "a")), QStringList({"inside", "self", "up"}));
        QCOMPARE(Children(FindFolder(tree, "a/inside")), QStringList({"back", "top"}));
        for (const char* link : {"a/up", "a/self", "a/inside/back", "a/inside/top"}) {
            QCOMPARE(FindFolder(tree, link)->childCount(), 0);
        }
        // A link is still a folder to look into.
        tree->setCurrentItem(FindFolder(tree, "a/self"));
        QCOMPARE(Titles(dialog.FileList()), QStringList());
        tree->setCurrentItem(FindFolder(tree, "a/inside/back"));
        QCOMPARE(dialog.CurrentFolder(), folder.Path("a/inside/back"));
        QCOMPARE(Titles(dialog.FileList()), QStringList());
        tree->setCurrentItem(FindFolder(tree, "a/inside"));
        QCOMPARE(Titles(dialog.FileList()), QStringList({"gem"}));
    }

    void thumbnailsArriveInListOrderAsTheyWouldBeReadOneByOne() {
        CTestFolder folder("order");
        const int count = 300;
        const auto titleOf = [](int i) {
            return QString("t%1").arg(i, 3, 10, QChar('0')).toStdString();
        };
        for (int i = 0; i < count; ++i) {
            const std::string title = titleOf(i);
            folder.WriteScene(title + ".orv");
            if (i % 7 != 3) {
                folder.WriteBitmap(title + ".bmp", 60 + i % 90, 50 + i % 70, [i](int x, int y) {
                    return std::array<uint8_t, 3>{uint8_t(i), uint8_t(x), uint8_t(y)};
                });
            }
        }
        SetDataDirectory(folder.Path());
        COpenFileDlg dialog;
        dialog.show();
        // Nothing has been read before the event loop runs: every item shows the blank picture.
        const QImage waiting = dialog.Thumbnail(count - 1).toImage();
        QCOMPARE(dialog.PendingThumbnails(), count);
        QCOMPARE(dialog.FileList()->count(), count);
        // Every time pictures arrive, the ones in are the first ones of the list.
        int arrivals = 0;
        bool prefix = true;
        connect(&dialog, &COpenFileDlg::ThumbnailsShown, this, [&](int pending) {
            ++arrivals;
            const int arrived = count - pending;
            for (int i = 0; i < count; ++i) {
                prefix = prefix && (i < arrived) == (dialog.Thumbnail(i).toImage() != waiting);
            }
        });
        QVERIFY(Open(dialog));
        QVERIFY(arrivals > 1);
        QVERIFY(prefix);
        const QImage placeholder = PlaceholderThumbnail().convertToFormat(QImage::Format_RGB32);
        for (int i = 0; i < count; ++i) {
            const QImage expected =
                i % 7 == 3 ? placeholder : ReadThumbnail(folder.Path(titleOf(i) + ".bmp"));
            QCOMPARE(Shown(dialog.FileList()->item(i)), expected);
        }
    }

    void folderDialogAsksForAnExistingFolderWithoutOfferingANewOne() {
        QString title;
        bool dirsOnly = false;
        bool newFolderOffered = true;
        // Answers the modal folder dialog as soon as it is up; a guard ends a stuck wait.
        QTimer answer;
        answer.setInterval(20);
        int ticks = 0;
        connect(&answer, &QTimer::timeout, this, [&] {
            auto* asking = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (asking == nullptr) {
                if (++ticks > 1000 && QApplication::activeModalWidget() != nullptr) {
                    QApplication::activeModalWidget()->close();
                }
                return;
            }
            title = asking->windowTitle();
            dirsOnly = asking->fileMode() == QFileDialog::Directory &&
                       asking->testOption(QFileDialog::ShowDirsOnly);
            const auto* button = asking->findChild<QToolButton*>("newFolderButton");
            newFolderOffered = button != nullptr && button->isVisible() && button->isEnabled();
            asking->reject();
        });
        answer.start();
        const std::string folder = AskForFolderWithDialog(kChooseDataDirectoryTitle);
        answer.stop();
        QCOMPARE(title, QString("Choose the directory of orv files"));
        QVERIFY(dirsOnly);
        QVERIFY(!newFolderOffered);
        QCOMPARE(folder, std::string());
    }

    void filesThatWillNotOpenAreMarkedAndSayWhy() {
        // A long path, to see that the path line keeps its start and the folder's name.
        CTestFolder folder("marked");
        const std::string shown =
            "a folder with a rather long name/and another one below it/"
            "and a third one to make the path longer than the line";
        const std::vector<uint8_t> band = SampleBytes("channel_band.orv");
        const std::vector<uint8_t> small = SampleBytes("first_ring.orv");
        QVERIFY(band.size() > 1000);
        folder.WriteBytes(shown + "/whole.orv", band);
        const CLoadReport cut = WriteCutOff(folder, shown + "/cut.orv", band, band.size() / 2);
        QVERIFY(cut.stoppedEarly && cut.count > 1);
        // Cut just after the first object: the note speaks of one object.
        CLoadReport single;
        for (size_t length = 19; length < small.size() && single.count != 1; ++length) {
            single = WriteCutOff(folder, shown + "/single.orv", small, length);
        }
        QVERIFY(single.stoppedEarly && single.count == 1);
        folder.WriteBytes(shown + "/text.orv", {'h', 'e', 'l', 'l', 'o', '\n'});
        folder.Link(shown + "/gone.orv", folder.Path("nowhere.orv"));
        SetDataDirectory(folder.Path());
        COpenFileDlg dialog;
        dialog.SetOpenFile(folder.Path(shown + "/whole.orv"));
        QVERIFY(Open(dialog));

        QListWidget* list = dialog.FileList();
        QCOMPARE(Titles(list), QStringList({"cut", "gone", "single", "text", "whole"}));
        const QStringList notes = {QString("ends early: %1 objects").arg(cut.count),
                                   "cannot be read: No such file or directory",
                                   "ends early: 1 object", "not a scene file", ""};
        const QImage placeholder = PlaceholderThumbnail().convertToFormat(QImage::Format_RGB32);
        const QPoint markCentre = ThumbnailMarkArea(placeholder.size()).center();
        for (int row = 0; row < list->count(); ++row) {
            QCOMPARE(list->item(row)->toolTip(), notes[row]);
            QCOMPARE(dialog.Marked(row), !notes[row].isEmpty());
            // The mark is drawn on the picture, amber where the placeholder is pale grey.
            const QRgb centre = Shown(list->item(row)).pixel(markCentre);
            QCOMPARE(centre != placeholder.pixel(markCentre), dialog.Marked(row));
        }
        QCOMPARE(CurrentTitle(list), QString("whole"));

        // The path line gives way in the middle, never at the end.
        CPathLine* path = dialog.PathLine();
        const QString full = QString::fromStdString(folder.Path(shown));
        QCOMPARE(path->Path(), full);
        QCOMPARE(path->toolTip(), full);
        QVERIFY2(path->text().contains(QChar(0x2026)), qPrintable(path->text()));
        QVERIFY(path->text().startsWith("/"));
        QVERIFY(path->text().endsWith("longer than the line"));
        QVERIFY(path->fontMetrics().horizontalAdvance(path->text()) <=
                path->contentsRect().width());
        QDir().mkpath("screenshots");
        dialog.grab().save("screenshots/open_file_marked.png");
        QTest::keyClick(&dialog, Qt::Key_Escape);
    }

    void listFollowsFilesAddedAndDeletedWhileOpen() {
        CTestFolder folder("follow");
        WriteScenes(folder, {"a.orv", "b.orv", "c.orv", "other/x.orv"});
        COpenFileDlg dialog;
        QVERIFY(OpenOn(dialog, folder));
        QListWidget* list = dialog.FileList();
        list->setCurrentRow(1);
        folder.WriteScene("d.orv");
        folder.Remove("a.orv");
        QTRY_COMPARE_WITH_TIMEOUT(Titles(list), QStringList({"b", "c", "d"}), 10000);
        QCOMPARE(CurrentTitle(list), QString("b"));
        QVERIFY(list->currentItem()->isSelected());
        QVERIFY(WaitForThumbnails(dialog));
        QVERIFY(!dialog.Marked(2));

        // A file caught half written is marked, and loses the mark once it is whole.
        const std::vector<uint8_t> ring = SampleBytes("first_ring.orv");
        WriteCutOff(folder, "e.orv", ring, ring.size() / 2);
        QTRY_COMPARE_WITH_TIMEOUT(RowOf(list, "e"), 3, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(dialog.Marked(3), 10000);
        std::ofstream(folder.Path("e.orv"), std::ios::binary | std::ios::app)
            .write(reinterpret_cast<const char*>(ring.data() + ring.size() / 2),
                   std::streamsize(ring.size() - ring.size() / 2));
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.Marked(3) && dialog.PendingThumbnails() == 0, 10000);
        QCOMPARE(list->item(3)->toolTip(), QString());

        // The current item goes with its file; the list watches the folder now shown.
        folder.Remove("b.orv");
        QTRY_COMPARE_WITH_TIMEOUT(CurrentTitle(list), QString("c"), 10000);
        dialog.FolderTree()->setCurrentItem(FindFolder(dialog.FolderTree(), "other"));
        folder.WriteScene("other/y.orv");
        QTRY_COMPARE_WITH_TIMEOUT(Titles(list), QStringList({"x", "y"}), 10000);
        QTest::keyClick(&dialog, Qt::Key_Escape);
    }

    void keysWorkOnTheThumbnailsAtOnce() {
        CTestFolder folder("keys");
        WriteScenes(folder, {"one.orv", "three.orv", "two.orv", "sub/inner.orv"});
        COpenFileDlg dialog;
        QVERIFY(OpenOn(dialog, folder));
        QCOMPARE(QApplication::focusWidget(), dialog.FileList());
        QCOMPARE(CurrentTitle(dialog.FileList()), QString("one"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.ChosenFile(), folder.Path("three.orv"));
        // Wherever the focus was at the close, the next showing starts on the thumbnails.
        QVERIFY(Open(dialog));
        dialog.FolderTree()->setFocus();
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(Open(dialog));
        QCOMPARE(CurrentTitle(dialog.FileList()), QString("three"));
        QTest::keyClick(&dialog, Qt::Key_Escape);
    }

    void opensOnTheOpenFilesFolderElseTheRememberedElseTheSamples() {
        CTestFolder data("start-data");
        CTestFolder elsewhere("start-elsewhere");
        CTestFolder samples("start-samples");
        data.WriteScene("inner/x.orv");
        data.WriteScene("inner/w.orv");
        elsewhere.WriteScene("y.orv");
        samples.WriteScene("z.orv");
        SetSamplesFolder(samples.Path());
        const auto shows = [](COpenFileDlg& dialog, const std::string& root,
                              const std::string& folder, const QString& current) {
            const bool opened = Open(dialog);
            const bool right = dialog.Root() == root && dialog.CurrentFolder() == folder &&
                               CurrentTitle(dialog.FileList()) == current;
            QTest::keyClick(&dialog, Qt::Key_Escape);
            return opened && right;
        };
        COpenFileDlg dialog;
        // A new user: the samples, without a question.
        QVERIFY(shows(dialog, samples.Path(), samples.Path(), "z"));
        QCOMPARE(m_question.asked, 0);

        // A folder remembered from an earlier run wins over the samples.
        ChooseDataDirectory(data.Path());
        SetDataDirectory({});
        QVERIFY(shows(dialog, data.Path(), data.Path(), "(none)"));
        // The open file's folder wins over both, within the remembered tree when it lies there.
        dialog.SetOpenFile(data.Path("inner/x.orv"));
        QVERIFY(shows(dialog, data.Path(), data.Path("inner"), "x"));
        dialog.SetOpenFile(elsewhere.Path("y.orv"));
        QVERIFY(shows(dialog, elsewhere.Path(), elsewhere.Path(), "y"));
        // "Change Folder…" still goes elsewhere while a file is open.
        QVERIFY(Open(dialog));
        m_question.answer = samples.Path();
        QTest::mouseClick(dialog.ChangeFolderButton(), Qt::LeftButton);
        QCOMPARE(dialog.Root(), samples.Path());
        QCOMPARE(Titles(dialog.FileList()), QStringList({"z"}));
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCOMPARE(m_question.asked, 1);

        // Gone, one after the other: the open file's folder, the remembered one, the samples;
        // only then is the user asked.
        ChooseDataDirectory(data.Path());
        elsewhere.Remove("");
        QVERIFY(shows(dialog, data.Path(), data.Path(), "(none)"));
        data.Remove("");
        QVERIFY(shows(dialog, samples.Path(), samples.Path(), "z"));
        samples.Remove("");
        SetDataDirectory({});
        QSettings().clear();
        CTestFolder answer("start-answer");
        answer.WriteScene("q.orv");
        m_question.answer = answer.Path();
        QVERIFY(shows(dialog, answer.Path(), answer.Path(), "q"));
        QCOMPARE(m_question.asked, 2);
    }

private:
    test::CPrivateSettings m_settings;
    test::CFolderQuestionStub m_question;
    CTestFolder m_noSamples{"no-samples"};
};

}  // namespace orva

QTEST_MAIN(orva::OpenFileDlgTest)
#include "open_file_dlg_test.moc"
