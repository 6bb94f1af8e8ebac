// How the viewer's window keeps up with a drag of each shipped sample at 1920 x 1080 with
// View ▸ Resolved While Turning.
//
//   xvfb-run -a -s "-screen 0 2560x1440x24" build/bench/viewer_drag [--threads N] [--steps N]
//       [--preview]
//
// Each sample is opened in the real main window, zoomed to fit and rendered once; then a left
// drag turns it in `--steps` mouse moves (60 by default) at the pace of a 60 Hz mouse. One line
// a sample tells the turn's pictures shown per second, the share of the view's pixels they
// reached, and the longest block of the window's thread (a 2 ms timer: every gap beyond its
// interval is time in which nothing else could run). --preview leaves the option off, for the
// shaded preview's figures (its frames are the view's whole frames).
#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/command_ids.h"
#include "app/gl_format.h"
#include "app/main_frame.h"
#include "app/orva_view.h"
#include "app/viewer_session.h"
#include "scene/gem_library.h"
#include "scene/material_file.h"
#include "window_loop_watch.h"

namespace {

using namespace orva;

constexpr int kPictureWidth = 1920;
constexpr int kPictureHeight = 1080;
constexpr int kMoveMilliseconds = 16;  // a mouse reporting 60 times a second
constexpr int kMovePixels = 8;         // a turn of about a quarter over 60 moves
constexpr const char* kSamples[] = {"first_ring", "solitaire_ring", "channel_band", "pendant",
                                    "earrings"};

struct CDragResult {
    double seconds = 0;
    int framesShown = 0;
    double pixelFraction = 0;
    double longestBlockMs = 0;
    int blocksOverBudget = 0;
};

void SendMouse(COrvaView& view, QEvent::Type type, QPointF at, Qt::MouseButton button,
               Qt::MouseButtons buttons) {
    QMouseEvent event(type, at, view.mapToGlobal(at), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &event);
}

// The moves come from a timer on the window's thread, as the system's would: a move late for
// a blocked loop arrives late, and the block shows in the watch.
CDragResult Drag(COrvaView& view, int steps) {
    CDragResult result;
    const QPointF start(kPictureWidth / 2.0, kPictureHeight / 2.0);
    SendMouse(view, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    const auto shown = [&view] {
        return view.ResolvedWhileTurning() ? view.TurningFramesShown() : view.FramesDrawn();
    };
    const int framesBefore = shown();
    bench::CLoopWatch watch;
    QElapsedTimer clock;
    int step = 0;
    QTimer mouse;
    mouse.setTimerType(Qt::PreciseTimer);
    QObject::connect(&mouse, &QTimer::timeout, [&] {
        ++step;
        SendMouse(view, QEvent::MouseMove, start + QPointF(kMovePixels * step, 0), Qt::NoButton,
                  Qt::LeftButton);
    });
    watch.Start();
    clock.start();
    mouse.start(kMoveMilliseconds);
    bench::RunUntil([&] { return step >= steps; }, 60000);
    mouse.stop();
    result.seconds = double(clock.nsecsElapsed()) * 1e-9;
    watch.Stop();
    result.framesShown = shown() - framesBefore;
    result.pixelFraction = view.ResolvedWhileTurning() ? view.TurningPixelFraction() : 0.0;
    result.longestBlockMs = bench::Milliseconds(watch.LongestBlock());
    result.blocksOverBudget = watch.BlocksOverBudget();
    SendMouse(view, QEvent::MouseButtonRelease, start + QPointF(kMovePixels * step, 0),
              Qt::LeftButton, Qt::NoButton);
    return result;
}

int ArgumentAfter(int argc, char** argv, const char* name, int fallback) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], name) == 0) {
            return std::atoi(argv[i + 1]);
        }
    }
    return fallback;
}

bool HasFlag(int argc, char** argv, const char* name) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], name) == 0) {
            return true;
        }
    }
    return false;
}

// Opens the sample, fitted and rendered once at the picture size, and drags it.
bool MeasureSample(const char* name, int threads, int steps, bool resolved) {
    const std::string path = std::string(ORVA_OUTPUT_DIR "/samples/") + name + ".orv";
    CViewerSession session({path});
    CMainFrame& frame = session.MainFrame();
    COrvaView& view = frame.View();
    view.SetRenderThreads(threads);
    view.SetRefinePictures(false);  // nothing else competes with the turn
    view.SetResolvedWhileTurning(resolved);
    frame.show();
    if (!bench::SizeViewTo(frame, view, kPictureWidth, kPictureHeight)) {
        std::fprintf(stderr, "viewer_drag: the view is %dx%d, not %dx%d\n", view.width(),
                     view.height(), kPictureWidth, kPictureHeight);
        return false;
    }
    const int renders = view.RendersStarted();
    frame.RunCommand(kCommandViewZoomAll);
    view.RenderAgain();  // the picture is rendered at the bench's size even if already fitted
    if (!bench::RunUntil([&] { return view.RendersStarted() > renders && !view.RenderRunning(); },
                         120000)) {
        std::fprintf(stderr, "viewer_drag: %s did not render\n", name);
        return false;
    }
    const CDragResult result = Drag(view, steps);
    std::printf(
        "{\"sample\":\"%s\",\"frames\":\"%s\",\"picture\":\"%dx%d\",\"threads\":%d,\"steps\":%d,"
        "\"seconds\":%.2f,"
        "\"frames_shown\":%d,\"frames_per_second\":%.1f,\"pixel_fraction\":%.3f,"
        "\"longest_loop_block_ms\":%.1f,\"blocks_over_50ms\":%d}\n",
        name, resolved ? "resolved" : "preview", kPictureWidth, kPictureHeight, threads, steps,
        result.seconds, result.framesShown, result.framesShown / result.seconds,
        result.pixelFraction, result.longestBlockMs, result.blocksOverBudget);
    std::fflush(stdout);
    view.StopRender();
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    RequestCompatibilityOpenGL();
    QApplication application(argc, argv);
    // The window's place and options go to a folder of the bench's own, not the user's.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    const int threads = ArgumentAfter(argc, argv, "--threads", 0);
    const int steps = ArgumentAfter(argc, argv, "--steps", 60);
    // For comparison: the shaded preview of a drag without the option.
    const bool resolved = !HasFlag(argc, argv, "--preview");
    GemLibrary().SetPath(ORVA_OUTPUT_DIR "/gemlib");
    SetMaterialDirectory(ORVA_OUTPUT_DIR "/material");
    for (const char* name : kSamples) {
        if (!MeasureSample(name, threads, steps, resolved)) {
            return 1;
        }
    }
    return 0;
}
