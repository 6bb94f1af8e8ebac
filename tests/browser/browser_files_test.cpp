#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QtTest>

#include "browser/browser_start.h"
#include "browser/data_directory.h"
#include "browser/folder_scan.h"
#include "browser/scene_folder.h"
#include "browser/thumbnail_image.h"
#include "folder_question_stub.h"
#include "image/bmp_bytes.h"
#include "platform/module_directory.h"
#include "private_settings.h"
#include "test_folder.h"

namespace orva {

namespace {

using test::CTestFolder;

QStringList TitlesOf(const std::vector<CSceneEntry>& scenes) {
    QStringList titles;
    for (const CSceneEntry& scene : scenes) {
        titles << QString::fromStdString(scene.title);
    }
    return titles;
}

QStringList NamesOf(const std::vector<std::string>& folders) {
    QStringList names;
    for (const std::string& folder : folders) {
        names << QString::fromStdString(folder);
    }
    return names;
}

// A bitmap as our reader delivers it, from pixels given top row first.
struct CBitmap {
    std::vector<uint8_t> bytes;
    BmpImage image;
    CBitmap(int width, int height, const test::BitmapPainter& paint) {
        image.width = width;
        image.height = height;
        image.stride = static_cast<int32_t>(BmpImageStride(width));
        bytes.assign(static_cast<size_t>(image.stride) * height, 0xCD);  // padding shows
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const auto bgr = paint(x, y);
                std::copy(bgr.begin(), bgr.end(),
                          bytes.begin() + (height - 1 - y) * image.stride + 3 * x);
            }
        }
        image.pixels = bytes.data();
    }
};

}  // namespace

class BrowserFilesTest : public QObject {
    Q_OBJECT

private slots:
    void init() { m_question.Install(); }
    void cleanup() {
        SetDataDirectory({});
        QSettings().clear();
    }

    void absoluteDataDirectoryIsUsedAsItIs() {
        SetDataDirectory("/srv/jewellery/");
        QCOMPARE(GetDataDirectory(), std::string("/srv/jewellery/"));
        QCOMPARE(m_question.asked, 0);
    }

    void relativeDataDirectoryIsTakenFromTheProgramFolder() {
        const std::string program =
            QFileInfo(QCoreApplication::applicationFilePath()).canonicalPath().toStdString() + "/";
        QCOMPARE(GetModuleDirectory(), program);
        SetDataDirectory("../OrvData");
        QCOMPARE(GetDataDirectory(), program + "../OrvData");
        QCOMPARE(m_question.asked, 0);
    }

    void emptyDataDirectoryAsksOnceAndKeepsTheAnswer() {
        m_question.answer = "/home/jeweller/scenes";
        QCOMPARE(GetDataDirectory(), m_question.answer);
        QCOMPARE(m_question.title, std::string("Choose the directory of orv files"));
        QCOMPARE(DataDirectory(), m_question.answer);
        QCOMPARE(GetDataDirectory(), m_question.answer);
        QCOMPARE(m_question.asked, 1);
        // The next run of the program starts with the folder picked in this one.
        SetDataDirectory({});
        QCOMPARE(GetDataDirectory(), m_question.answer);
        QCOMPARE(m_question.asked, 1);
    }

    void cancelledQuestionIsAskedAgainNextTime() {
        m_question.answer.clear();
        QCOMPARE(GetDataDirectory(), std::string());
        QCOMPARE(DataDirectory(), std::string());
        m_question.answer = "picked";
        QCOMPARE(GetDataDirectory(), GetModuleDirectory() + "picked");
        QCOMPARE(m_question.asked, 2);
    }

    void browserStartComparesFoldersAsPathsNotAsText() {
        CTestFolder folder("start");
        folder.WriteScene("data/sub/x.orv");
        folder.WriteScene("data2/y.orv");
        folder.MakeFolder("bin");
        // The data directory as the command line's relative flag makes it.
        const std::string data = folder.Path("bin/../data/");
        CBrowserStart start = ChooseBrowserStart({folder.Path("data/sub/x.orv"), data, {}, {}});
        QCOMPARE(start.root, folder.Path("data"));
        QCOMPARE(start.folder, folder.Path("data/sub"));
        // "data2" only begins like "data".
        start = ChooseBrowserStart({folder.Path("data2/y.orv"), data, {}, {}});
        QCOMPARE(start.root, folder.Path("data2"));
        QCOMPARE(start.folder, folder.Path("data2"));
        // The last folder is kept within the samples' tree and dropped outside it.
        start = ChooseBrowserStart({{}, folder.Path("missing"), data, folder.Path("data/sub/")});
        QCOMPARE(start.folder, folder.Path("data/sub"));
        start = ChooseBrowserStart({{}, {}, data, folder.Path("data2")});
        QCOMPARE(start.folder, folder.Path("data"));
        QCOMPARE(ChooseBrowserStart({{}, {}, folder.Path("missing"), {}}).root, std::string());
    }

    void scenesAreSortedIgnoringCaseAndKeepTheirOwnNames() {
        CTestFolder folder("list");
        for (const char* name : {"b.orv", "A.orv", "c.orv", "a_b.ORV", "Ab.orv"}) {
            folder.WriteScene(name);
        }
        folder.WriteScene("notes.txt");
        folder.WriteScene("orv");
        folder.WriteScene(".orv");
        folder.MakeFolder("sub.orv");
        folder.WriteScene("sub.orv/hidden.orv");
        const auto scenes = ListSceneFiles(folder.Path());
        // "_" sorts before letters, as with letters folded to lower case.
        QCOMPARE(TitlesOf(scenes), QStringList({"A", "a_b", "Ab", "b", "c"}));
        QCOMPARE(scenes[1].fileName, std::string("a_b.ORV"));
    }

    void equalTitlesKeepTheirOrder() {
        QVERIFY(!LessIgnoringCase("Ring", "rING"));
        QVERIFY(!LessIgnoringCase("rING", "Ring"));
        QVERIFY(LessIgnoringCase("ring", "Ring2"));
        QVERIFY(LessIgnoringCase("Z", "\xC3\xA9"));  // bytes past ASCII sort after letters
    }

    void thumbnailIsTheBitmapOfTheSameTitle() {
        CTestFolder folder("pair");
        folder.WriteScene("Ring.orv");
        folder.WriteScene("Band.ORV");
        folder.WriteScene("Stud.orv");
        folder.WriteScene("Bare.orv");
        folder.WriteBytes("Ring.bmp", {1});
        folder.WriteBytes("ring.BMP", {2});
        folder.WriteBytes("BAND.bmp", {3});
        folder.WriteBytes("Stud.orv.bmp", {4});
        folder.MakeFolder("Bare.bmp");
        const auto scenes = ListSceneFiles(folder.Path());
        QCOMPARE(TitlesOf(scenes), QStringList({"Band", "Bare", "Ring", "Stud"}));
        QCOMPARE(scenes[0].thumbnailPath, folder.Path("BAND.bmp"));
        QCOMPARE(scenes[1].thumbnailPath, std::string());
        QCOMPARE(scenes[2].thumbnailPath, folder.Path("Ring.bmp"));
        QCOMPARE(scenes[3].thumbnailPath, std::string());
    }

    void unreadableFolderListsNothing() {
        QVERIFY(ListSceneFiles("/nonexistent/orva/folder").empty());
        QVERIFY(ListSubfolders("/nonexistent/orva/folder").empty());
    }

    void subfoldersAreOneLevelSortedWithLinksToFolders() {
        CTestFolder folder("tree");
        for (const char* path : {"b/y/deep/deeper", "a", "B2", "b/X", "C"}) {
            folder.MakeFolder(path);
        }
        folder.WriteScene("file.orv");
        folder.Link("up", "..");
        folder.Link("dangling", "nowhere");
        QCOMPARE(NamesOf(ListSubfolders(folder.Path())), QStringList({"a", "b", "B2", "C", "up"}));
        QCOMPARE(NamesOf(ListSubfolders(folder.Path("b"))), QStringList({"X", "y"}));
    }

    void pseudoFileSystemsAreSkipped() {
        QVERIFY(IsPseudoFileSystem("/proc"));
        QVERIFY(IsPseudoFileSystem("/dev"));
        QVERIFY(!IsPseudoFileSystem(QDir::tempPath().toStdString()));
        const QStringList top = NamesOf(ListSubfolders("/"));
        QVERIFY(!top.contains("proc") && !top.contains("sys") && !top.contains("dev"));
        QVERIFY(top.contains("usr"));
    }

    void hundredSquareBitmapIsKeptPixelForPixel() {
        const auto paint = [](int x, int y) {
            return std::array<uint8_t, 3>{uint8_t(x), uint8_t(y), uint8_t(x ^ y)};
        };
        CBitmap bitmap(100, 100, paint);
        const QImage thumbnail = ThumbnailFromBmp(bitmap.image);
        QCOMPARE(thumbnail.size(), QSize(100, 100));
        for (int y = 0; y < 100; ++y) {
            for (int x = 0; x < 100; ++x) {
                const auto bgr = paint(x, y);
                QCOMPARE(thumbnail.pixel(x, y), qRgb(bgr[2], bgr[1], bgr[0]));
            }
        }
    }

    void otherSizesAreStretchedWithoutKeepingProportions() {
        // A picture one pixel high and three wide: thirds of the thumbnail, top to bottom the
        // same.
        CBitmap strip(3, 1, [](int x, int) {
            return std::array<uint8_t, 3>{uint8_t(x == 0 ? 255 : 0), uint8_t(x == 1 ? 255 : 0),
                                          uint8_t(x == 2 ? 255 : 0)};
        });
        const QImage thumbnail = ThumbnailFromBmp(strip.image);
        QCOMPARE(thumbnail.size(), QSize(100, 100));
        for (int y : {0, 57, 99}) {
            QCOMPARE(thumbnail.pixel(0, y), qRgb(0, 0, 255));
            QCOMPARE(thumbnail.pixel(32, y), qRgb(0, 0, 255));
            QCOMPARE(thumbnail.pixel(34, y), qRgb(0, 255, 0));
            QCOMPARE(thumbnail.pixel(65, y), qRgb(0, 255, 0));
            QCOMPARE(thumbnail.pixel(67, y), qRgb(255, 0, 0));
            QCOMPARE(thumbnail.pixel(99, y), qRgb(255, 0, 0));
        }
        // A large picture shrinks; its top row stays at the top.
        CBitmap tall(20, 1000, [](int, int y) {
            return std::array<uint8_t, 3>{0, 0, uint8_t(y < 500 ? 200 : 40)};
        });
        const QImage shrunk = ThumbnailFromBmp(tall.image);
        QCOMPARE(shrunk.pixel(10, 0), qRgb(200, 0, 0));
        QCOMPARE(shrunk.pixel(10, 49), qRgb(200, 0, 0));
        QCOMPARE(shrunk.pixel(10, 50), qRgb(40, 0, 0));
        QCOMPARE(shrunk.pixel(10, 99), qRgb(40, 0, 0));
    }

    void thumbnailsAreReadWithOurOwnReader() {
        CTestFolder folder("reader");
        // An 8-bit file with a 12-byte header: two palette colours in stripes.
        test::BmpFileLayout layout;
        layout.infoSize = 12;
        layout.width = 100;
        layout.height = 100;
        layout.bitsPerPixel = 8;
        layout.palette = {{10, 20, 30}, {200, 100, 50}};
        for (int i = 0; i < 100; ++i) {
            for (int x = 0; x < 100; ++x) {
                layout.rows.push_back(uint8_t(x % 2));
            }
        }
        folder.WriteBytes("striped.bmp", test::MakeBmpBytes(layout));
        const QImage striped = ReadThumbnail(folder.Path("striped.bmp"));
        QCOMPARE(striped.pixel(0, 0), qRgb(30, 20, 10));
        QCOMPARE(striped.pixel(1, 99), qRgb(50, 100, 200));
        layout.height = -100;  // top-down rows, which our reader refuses
        folder.WriteBytes("topdown.bmp", test::MakeBmpBytes(layout));
        QVERIFY(ReadThumbnail(folder.Path("topdown.bmp")).isNull());
        QVERIFY(ReadThumbnail(folder.Path("missing.bmp")).isNull());
        QVERIFY(ReadThumbnail("").isNull());
    }

private:
    test::CPrivateSettings m_settings;
    test::CFolderQuestionStub m_question;
};

}  // namespace orva

QTEST_GUILESS_MAIN(orva::BrowserFilesTest)
#include "browser_files_test.moc"
