#include "app/background_job.h"

#include "platform/thread_priority.h"

namespace orva {

CBackgroundJob::~CBackgroundJob() {
    Stop();
}

void CBackgroundJob::Start(Work work) {
    Stop();
    // The job owns its stop flag: a stop asked of the last work must not stop this one.
    m_interrupt.Reset();
    m_running = true;
    m_thread = std::thread([this, work = std::move(work)] {
        LowerCurrentThreadPriority();
        const std::function<void()> report = work(m_interrupt);
        m_running = false;
        if (report) {
            report();
        }
    });
}

void CBackgroundJob::Stop() {
    if (!m_thread.joinable()) {
        return;
    }
    m_interrupt.Request();
    m_thread.join();
}

}  // namespace orva
