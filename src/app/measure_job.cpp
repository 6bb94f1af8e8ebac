#include "app/measure_job.h"

#include <chrono>

#include "platform/thread_priority.h"

namespace orva {

CMeasureJob::~CMeasureJob() {
    Stop();
}

void CMeasureJob::Start(const CSceneRange& scene, const CJewelOptions& options, Finished finished) {
    Stop();
    m_running = true;
    CJewelOptions own = options;
    own.interrupt = &m_interrupt;
    m_thread = std::thread([this, scene, own, finished = std::move(finished)] {
        // The window's thread keeps answering even with every core measuring.
        LowerCurrentThreadPriority();
        const CJewelReport report = MeasureJewel(scene.first, scene.stop, own);
        if (finished) {
            finished(report);
        }
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_running = false;
        }
        m_done.notify_all();
    });
}

void CMeasureJob::Stop() {
    if (!m_thread.joinable()) {
        return;
    }
    // The measurement forgets requests made before it starts its grid, so the request is
    // repeated until it has finished.
    std::unique_lock<std::mutex> lock(m_mutex);
    while (m_running) {
        m_interrupt.Request();
        m_done.wait_for(lock, std::chrono::milliseconds(2));
    }
    lock.unlock();
    m_thread.join();
}

}  // namespace orva
