// The thumbnails the viewer renders for scene files without one: kept in the desktop's shared
// cache under the name and with the data other programs look for, rendered again only when the
// file changes, and shown by the Open File browser.
#include <sys/stat.h>

#include <QCryptographicHash>
#include <QDir>
#include <QListWidget>
#include <QtTest>
#include <filesystem>
#include <set>

#include "app/scene_thumbnail_renderer.h"
#include "browser/data_directory.h"
#include "browser/open_file_dlg.h"
#include "browser/placeholder_thumbnail.h"
#include "browser/scene_thumbnail.h"

namespace orva {

namespace fs = std::filesystem;

namespace {

int DistinctColours(const QImage& picture) {
    std::set<QRgb> colours;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            colours.insert(picture.pixel(x, y));
        }
    }
    return static_cast<int>(colours.size());
}

}  // namespace

class SceneThumbnailTest : public QObject {
    Q_OBJECT

    fs::path m_root = fs::temp_directory_path() / "orva scene thumbnails";
    fs::path m_scene = m_root / "rings" / "first ring.orv";
    int m_renders = 0;

private slots:
    void initTestCase() {
        fs::remove_all(m_root);
        fs::create_directories(m_scene.parent_path());
        fs::copy_file(ORVA_SAMPLES_DIR "first_ring.orv", m_scene);
        qputenv("XDG_CACHE_HOME", QByteArray::fromStdString((m_root / "cache").string()));
        SetSceneRenderer([this](const std::string& path, int side) {
            ++m_renders;
            return RenderSceneThumbnail(path, side);
        });
    }
    void cleanupTestCase() { fs::remove_all(m_root); }

    void theCacheHoldsOneRenderPerVersionOfTheFile() {
        const QImage shown = LoadThumbnail({"", m_scene.string()});
        QCOMPARE(m_renders, 1);
        QCOMPARE(shown.size(), QSize(100, 100));

        // Named by the MD5 of the URI, with the space percent-encoded as file managers do.
        const QByteArray uri =
            "file://" + QByteArray::fromStdString(m_scene.string()).replace(" ", "%20");
        const fs::path cached =
            m_root / "cache/thumbnails/normal" /
            (QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex().toStdString() + ".png");
        const QImage picture(QString::fromStdString(cached.string()));
        struct stat info {};
        QCOMPARE(stat(m_scene.c_str(), &info), 0);
        QCOMPARE(picture.text("Thumb::URI"), QString::fromLatin1(uri));
        // As a plain text chunk, which every reader of the cache understands.
        QFile file(QString::fromStdString(cached.string()));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("tEXtThumb::URI" + QByteArray(1, '\0') + uri));
        QCOMPARE(picture.text("Thumb::MTime"), QString::number(info.st_mtime));
        QVERIFY(picture.width() <= 128 && picture.height() <= 128 && !picture.isNull());
        QVERIFY2(DistinctColours(picture) > 20, "the ring was drawn, not just the ground");
        QCOMPARE(fs::status(cached).permissions() & fs::perms::all,
                 fs::perms::owner_read | fs::perms::owner_write);
        QCOMPARE(fs::status(cached.parent_path()).permissions() & fs::perms::all,
                 fs::perms::owner_all);

        LoadThumbnail({"", m_scene.string()});
        QCOMPARE(m_renders, 1);
        fs::last_write_time(m_scene, fs::last_write_time(m_scene) + std::chrono::seconds(5));
        LoadThumbnail({"", m_scene.string()});
        QCOMPARE(m_renders, 2);
    }

    void theBrowserShowsARenderedPictureAndWritesNothingBesideTheScene() {
        fs::remove_all(m_root / "cache");
        // The chosen folder is the one that holds the scene: its own files are listed.
        SetDataDirectory(m_scene.parent_path().string());
        COpenFileDlg dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(QTest::qWaitFor([&] { return dialog.FileList()->count() == 1; }, 5000));
        QVERIFY(QTest::qWaitFor([&] { return dialog.PendingThumbnails() == 0; }, 20000));
        const QImage shown = dialog.Thumbnail(0).toImage().convertToFormat(QImage::Format_RGB32);
        QVERIFY(shown != PlaceholderThumbnail().convertToFormat(QImage::Format_RGB32));
        QVERIFY(DistinctColours(shown) > 20);
        QDir().mkpath("screenshots");
        dialog.grab().save("screenshots/rendered_thumbnail_dialog.png");  // for a look
        QCOMPARE(std::distance(fs::directory_iterator(m_scene.parent_path()), {}), 1);
    }
};

}  // namespace orva

QTEST_MAIN(orva::SceneThumbnailTest)
#include "scene_thumbnail_test.moc"
