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
#include "window_loop_watch.h"

namespace {

using namespace orva;
using bench::CLoopWatch;
using bench::Milliseconds;
using bench::RunUntil;

constexpr int kPictureWidth = 1920;
constexpr int kPictureHeight = 1080;

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
    if (!bench::SizeViewTo(frame, view, kPictureWidth, kPictureHeight)) {
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
