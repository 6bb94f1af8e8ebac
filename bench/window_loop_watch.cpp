#include "window_loop_watch.h"

#include <QEventLoop>

#include <algorithm>

#include "app/main_frame.h"
#include "app/orva_view.h"

namespace orva::bench {

namespace {

constexpr int kTickMilliseconds = 2;

}  // namespace

double Milliseconds(qint64 nanoseconds) {
    return double(nanoseconds) * 1e-6;
}

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

bool SizeViewTo(CMainFrame& frame, COrvaView& view, int width, int height) {
    for (int attempt = 0; attempt < 5; ++attempt) {
        const QSize missing = QSize(width, height) - view.size();
        if (missing.isNull()) {
            return true;
        }
        frame.resize(frame.size() + missing);
        RunUntil([] { return false; }, 200);
    }
    return view.size() == QSize(width, height);
}

CLoopWatch::CLoopWatch() {
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(kTickMilliseconds);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { Tick(); });
}

void CLoopWatch::Start() {
    m_longest = 0;
    m_overBudget = 0;
    m_clock.start();
    m_last = 0;
    m_timer.start();
}

void CLoopWatch::Tick() {
    const qint64 now = m_clock.nsecsElapsed();
    const qint64 blocked = now - m_last - kTickMilliseconds * 1000000LL;
    m_longest = std::max(m_longest, blocked);
    m_overBudget += blocked > kBlockBudgetMilliseconds * 1000000LL ? 1 : 0;
    m_last = now;
}

}  // namespace orva::bench
