#pragma once

// What the window benches measure the viewer's window with, on the window's thread.
#include <QElapsedTimer>
#include <QTimer>

#include <functional>

namespace orva {

class CMainFrame;
class COrvaView;

namespace bench {

// Blocks of the window's thread longer than this are counted: the longest a window may take
// to answer without the user noticing.
constexpr int kBlockBudgetMilliseconds = 50;

double Milliseconds(qint64 nanoseconds);

// Runs the event loop until `done` holds or `timeoutMs` has passed. The loop sleeps between
// events, so the measuring takes no processor from the render.
bool RunUntil(const std::function<bool()>& done, int timeoutMs);

// Sizes the main window so that the view is exactly `width` x `height`.
bool SizeViewTo(CMainFrame& frame, COrvaView& view, int width, int height);

// Gaps between the ticks of a short timer: how long the loop was busy with something else.
class CLoopWatch {
public:
    CLoopWatch();
    void Start();
    void Stop() { m_timer.stop(); }
    qint64 LongestBlock() const { return m_longest; }
    int BlocksOverBudget() const { return m_overBudget; }

private:
    void Tick();

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
    int m_overBudget = 0;
};

}  // namespace bench
}  // namespace orva
