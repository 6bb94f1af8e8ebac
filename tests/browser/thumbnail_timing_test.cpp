#include <QElapsedTimer>
#include <QEventLoop>
#include <QListWidget>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <cstdio>
#include <functional>

#include "browser/data_directory.h"
#include "browser/open_file_dlg.h"
#include "test_folder.h"

namespace orva {

namespace {

constexpr int kSceneCount = 2000;

#ifdef ORVA_SANITIZED
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

// True when every item the list shows on its first screen has its picture.
bool FirstScreenComplete(const COpenFileDlg& dialog, const QImage& waiting, int& visible) {
    const QListWidget* list = dialog.FileList();
    const QRect screen = list->viewport()->rect();
    visible = 0;
    for (int i = 0; i < list->count(); ++i) {
        const QRect rect = list->visualItemRect(list->item(i));
        if (rect.top() > screen.bottom()) {
            break;  // items are laid out row by row
        }
        if (rect.intersects(screen)) {
            ++visible;
            if (dialog.Thumbnail(i).toImage() == waiting) {
                return false;
            }
        }
    }
    return visible > 0;
}

// Calls `seen` for every paint of the watched widget, before the widget paints.
class CPaintWatch : public QObject {
public:
    explicit CPaintWatch(std::function<void()> seen) : m_seen(std::move(seen)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            m_seen();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_seen;
};

}  // namespace

// Fills the list with a folder of 2,000 scene files with thumbnails and prints what the user
// would feel, as one JSON line: when the titles show, when the first screen of pictures is
// complete, when all are in, and the longest time the event loop could not answer.
class ThumbnailTimingTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        SetFolderAsker([](const std::string&) { return std::string(); });
        for (int i = 0; i < kSceneCount; ++i) {
            const std::string title =
                "f/scene" + QString("%1").arg(i, 4, 10, QChar('0')).toStdString();
            m_folder.WriteScene(title + ".orv");
            m_folder.WriteBitmap(title + ".bmp", 100, 100, [i](int x, int y) {
                return std::array<uint8_t, 3>{uint8_t(i), uint8_t(x + i), uint8_t(y)};
            });
        }
        SetDataDirectory(m_folder.Path("f"));
    }

    void twoThousandScenesFillWithoutBlocking() {
        COpenFileDlg dialog;
        QElapsedTimer clock;
        double longestBlock = 0;
        double longestBlockAfterTitles = 0;
        double lastTick = 0;
        double titlesShown = -1;
        double firstScreen = -1;
        double firstScreenPainted = -1;
        double allIn = -1;
        int visible = 0;
        QImage waiting;

        // A timer that should fire every millisecond: the gaps between its ticks are the
        // times the event loop was busy with something else.
        QTimer ticker;
        ticker.setTimerType(Qt::PreciseTimer);
        ticker.setInterval(1);
        connect(&ticker, &QTimer::timeout, this, [&] {
            const double now = clock.nsecsElapsed() / 1e6;
            longestBlock = std::max(longestBlock, now - lastTick);
            if (titlesShown >= 0 && lastTick >= titlesShown) {
                longestBlockAfterTitles = std::max(longestBlockAfterTitles, now - lastTick);
            }
            lastTick = now;
        });
        connect(&dialog, &COpenFileDlg::ThumbnailsShown, this, [&](int pending) {
            const double now = clock.nsecsElapsed() / 1e6;
            if (firstScreen < 0 && FirstScreenComplete(dialog, waiting, visible)) {
                firstScreen = now;
            }
            if (pending == 0) {
                allIn = now;
            }
        });

        // The first paint of the list after its first screen of pictures is complete: when the
        // user sees them.
        CPaintWatch paints([&] {
            if (firstScreen >= 0 && firstScreenPainted < 0) {
                firstScreenPainted = clock.nsecsElapsed() / 1e6;
            }
        });
        dialog.FileList()->viewport()->installEventFilter(&paints);

        clock.start();
        ticker.start();
        dialog.show();  // scans the folder tree and lists the titles before it returns
        titlesShown = clock.nsecsElapsed() / 1e6;
        QCOMPARE(dialog.FileList()->count(), kSceneCount);
        waiting = dialog.Thumbnail(kSceneCount - 1).toImage();
        // A plain event loop as the dialog's own: QTest::qWaitFor sleeps between its turns,
        // which would be counted as blocking.
        QEventLoop loop;
        QTimer done;
        connect(&done, &QTimer::timeout, &loop, [&] {
            if (allIn >= 0 && firstScreenPainted >= 0) {
                loop.quit();
            }
        });
        done.start(50);
        QTimer::singleShot(120000, &loop, &QEventLoop::quit);
        loop.exec();
        ticker.stop();
        QVERIFY(allIn >= 0 && firstScreenPainted >= 0);

        std::printf(
            "{\"benchmark\":\"open_file_dialog_fill\",\"files\":%d,\"titlesShownMs\":%.1f,"
            "\"firstScreenMs\":%.1f,\"firstScreenPaintedMs\":%.1f,\"firstScreenItems\":%d,"
            "\"allThumbnailsMs\":%.1f,\"longestBlockMs\":%.1f,"
            "\"longestBlockAfterTitlesMs\":%.1f,\"sanitized\":%s}\n",
            kSceneCount, titlesShown, firstScreen, firstScreenPainted, visible, allIn, longestBlock,
            longestBlockAfterTitles, kSanitized ? "true" : "false");
        std::fflush(stdout);

        QVERIFY(visible >= 10);
        if (!kSanitized) {
            QVERIFY2(firstScreenPainted < 500,
                     "the first screen of thumbnails shows within half a second");
            QVERIFY2(longestBlock < 250, "listing the titles keeps the dialog waiting briefly");
            QVERIFY2(longestBlockAfterTitles < 100,
                     "the dialog answers while the pictures come in");
        }
    }

private:
    test::CTestFolder m_folder{"timing"};
};

}  // namespace orva

QTEST_MAIN(orva::ThumbnailTimingTest)
#include "thumbnail_timing_test.moc"
