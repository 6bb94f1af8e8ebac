#include "app/background_job.h"

#include <chrono>

#include "platform/thread_priority.h"

namespace orva {

CBackgroundJob::~CBackgroundJob() {
    Stop();
}

void CBackgroundJob::Start(Work work) {
    Stop();
    m_running = true;
    m_thread = std::thread([this, work = std::move(work)] {
        LowerCurrentThreadPriority();
        const std::function<void()> report = work(m_interrupt);
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_running = false;
        }
        m_done.notify_all();
        if (report) {
            report();
        }
    });
}

void CBackgroundJob::Stop() {
    if (!m_thread.joinable()) {
        return;
    }
    std::unique_lock<std::mutex> lock(m_mutex);
    while (m_running) {
        m_interrupt.Request();
        m_done.wait_for(lock, std::chrono::milliseconds(2));
    }
    lock.unlock();
    m_thread.join();
}

}  // namespace orva
