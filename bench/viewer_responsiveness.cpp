// How the viewer's window answers while it renders the tray of rings at 1920 x 1080.
//
//   xvfb-run -a -s "-screen 0 2560x1440x24"
//       build-release/bench/viewer_responsiveness [--threads N] [--clicks N]
//
// It opens the stress scene in the real main window and measures, on the window's thread:
// - the longest time the event loop was blocked while a whole picture rendered (a 2 ms
//   timer: every gap beyond its interval is time in which nothing else could run);
// - for left clicks posted at moments spread over the render, the time from the click
//   entering the queue to the render having stopped, and how much of it the click waited.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMouseEvent>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/command_ids.h"
#include "app/gl_format.h"
#include "app/orva_view.h"
#include "app/viewer_session.h"
#include "render/render_scene.h"
#include "scene/scene_file.h"
#include "scene_writer.h"
#include "stress_scene.h"

namespace {

using namespace orva;

constexpr int kPictureWidth = 1920;
constexpr int kPictureHeight = 1080;
constexpr int kTickMilliseconds = 2;
constexpr int kBudgetMilliseconds = 50;  // blocks longer than this are counted

double Milliseconds(qint64 nanoseconds) {
    return double(nanoseconds) * 1e-6;
}

// Runs the event loop until `done` holds or `timeoutMs` has passed. The loop sleeps between
// events, so the measuring takes no processor from the render.
bool RunUntil(const std::function<bool()>& done, int timeoutMs) {
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (done()) {
            loop.quit();
        }
    });
    check.start(1);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    if (!done()) {
        loop.exec();
    }
    return done();
}

// Gaps between the ticks of a short timer: how long the loop was busy with something else.
class CLoopWatch {
public:
    CLoopWatch() {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(kTickMilliseconds);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Tick(); });
    }
    void Start() {
        m_longest = 0;
        m_overBudget = 0;
        m_clock.start();
        m_last = 0;
        m_timer.start();
    }
    void Stop() { m_timer.stop(); }
    qint64 LongestBlock() const { return m_longest; }
    int BlocksOverBudget() const { return m_overBudget; }

private:
    void Tick() {
        const qint64 now = m_clock.nsecsElapsed();
        const qint64 blocked = now - m_last - kTickMilliseconds * 1000000LL;
        m_longest = std::max(m_longest, blocked);
        m_overBudget += blocked > kBudgetMilliseconds * 1000000LL ? 1 : 0;
        m_last = now;
    }

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
    int m_overBudget = 0;
};

// Hands a posted left press to the view at once and notes when it arrived and when the
// view had finished with it (the render stops inside the press).
class CClickTimer : public QObject {
public:
    explicit CClickTimer(COrvaView& view) : m_view(view) { view.installEventFilter(this); }

    void Post() {
        m_arrived = m_handled = -1;
        m_clock.start();
        const QPointF at(kPictureWidth / 2.0, kPictureHeight / 2.0);
        QCoreApplication::postEvent(
            &m_view, new QMouseEvent(QEvent::MouseButtonPress, at, m_view.mapToGlobal(at),
                                     Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    }
    bool Handled() const { return m_handled >= 0; }
    qint64 Waited() const { return m_arrived; }
    qint64 Total() const { return m_handled; }

protected:
    bool eventFilter(QObject* target, QEvent* event) override {
        if (target != &m_view || event->type() != QEvent::MouseButtonPress || m_inside) {
            return false;
        }
        m_arrived = m_clock.nsecsElapsed();
        m_inside = true;
        static_cast<QObject&>(m_view).event(event);  // the view's own handling, in full
        m_inside = false;
        m_handled = m_clock.nsecsElapsed();
        return true;
    }

private:
    COrvaView& m_view;
    QElapsedTimer m_clock;
    qint64 m_arrived = -1;
    qint64 m_handled = -1;
    bool m_inside = false;
};

std::string WriteStressScene() {
    const std::string folder =
        (std::filesystem::temp_directory_path() / "orva-viewer-responsiveness").string();
    if (!bench::WriteStressData(folder)) {
        return {};
    }
    CSceneAnchor scene;
    bench::BuildStressScene(scene);
    const std::string path = folder + "/stress.orv";
    return WriteFileBytes(path, WriteSceneBytes(scene.first)) ? path : std::string();
}

// Sizes the main window so that the view is exactly the picture size.
bool SizeViewTo(CMainFrame& frame, COrvaView& view) {
    for (int attempt = 0; attempt < 5; ++attempt) {
        const QSize missing = QSize(kPictureWidth, kPictureHeight) - view.size();
        if (missing.isNull()) {
            return true;
        }
        frame.resize(frame.size() + missing);
        RunUntil([] { return false; }, 200);
    }
    return view.size() == QSize(kPictureWidth, kPictureHeight);
}

struct CResult {
    double renderMs = 0;
    double longestBlockMs = 0;
    int blocksOverBudget = 0;
    std::vector<double> clickTotalMs;
    std::vector<double> clickWaitMs;
};

bool MeasureWholeRender(COrvaView& view, CLoopWatch& watch, CResult& result) {
    const int before = view.RendersStarted();
    QElapsedTimer clock;
    clock.start();
    watch.Start();
    view.RenderAgain();
    const bool finished =
        RunUntil([&] { return view.RendersStarted() > before && !view.RenderRunning(); }, 120000);
    watch.Stop();
    result.renderMs = double(clock.elapsed());
    result.longestBlockMs = Milliseconds(watch.LongestBlock());
    result.blocksOverBudget = watch.BlocksOverBudget();
    return finished;
}

bool MeasureClicks(COrvaView& view, int clicks, CResult& result) {
    CClickTimer click(view);
    for (int i = 0; i < clicks; ++i) {
        const int before = view.RendersStarted();
        view.RenderAgain();
        if (!RunUntil([&] { return view.RendersStarted() > before && view.RenderRunning(); },
                      10000)) {
            return false;
        }
        // Clicks land at moments spread over the first part of the render.
        const int delay = 50 + (i * 37) % 250;
        RunUntil([] { return false; }, delay);
        if (!view.RenderRunning()) {
            continue;  // finished before the click: nothing to stop
        }
        click.Post();
        if (!RunUntil([&] { return click.Handled(); }, 10000) || view.RenderRunning()) {
            return false;
        }
        result.clickTotalMs.push_back(Milliseconds(click.Total()));
        result.clickWaitMs.push_back(Milliseconds(click.Waited()));
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(10, 10), QPointF(10, 10),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&view, &release);
        view.StopRender();
    }
    return true;
}

double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double Largest(const std::vector<double>& values) {
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

int ArgumentAfter(int argc, char** argv, const char* name, int fallback) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], name) == 0) {
            return std::atoi(argv[i + 1]);
        }
    }
    return fallback;
}

}  // namespace

int main(int argc, char** argv) {
    RequestCompatibilityOpenGL();
    QApplication application(argc, argv);
    const int threads = ArgumentAfter(argc, argv, "--threads", 0);
    const int clicks = ArgumentAfter(argc, argv, "--clicks", 10);

    const std::string scene = WriteStressScene();
    if (scene.empty()) {
        std::fprintf(stderr, "viewer_responsiveness: cannot write the stress scene\n");
        return 1;
    }
    CViewerSession session({scene});
    CMainFrame& frame = session.MainFrame();
    COrvaView& view = frame.View();
    view.SetRenderThreads(threads);
    frame.show();
    if (!SizeViewTo(frame, view)) {
        std::fprintf(stderr, "viewer_responsiveness: the view is %dx%d, not %dx%d\n", view.width(),
                     view.height(), kPictureWidth, kPictureHeight);
        return 1;
    }
    frame.RunCommand(kCommandViewZoomAll);
    RunUntil([&] { return view.RendersStarted() > 0; }, 10000);
    view.StopRender();

    CLoopWatch watch;
    CResult result;
    if (!MeasureWholeRender(view, watch, result) || !MeasureClicks(view, clicks, result)) {
        std::fprintf(stderr, "viewer_responsiveness: a render did not start or stop\n");
        return 1;
    }
    std::printf(
        "{\"picture\":\"%dx%d\",\"threads\":%d,\"render_ms\":%.0f,"
        "\"longest_loop_block_ms\":%.1f,\"blocks_over_50ms\":%d,\"clicks\":%zu,\"click_to_stop_"
        "median_ms\":%.1f,"
        "\"click_to_stop_max_ms\":%.1f,\"click_wait_max_ms\":%.1f}\n",
        kPictureWidth, kPictureHeight, threads, result.renderMs, result.longestBlockMs,
        result.blocksOverBudget, result.clickTotalMs.size(), Median(result.clickTotalMs),
        Largest(result.clickTotalMs), Largest(result.clickWaitMs));
    return 0;
}
