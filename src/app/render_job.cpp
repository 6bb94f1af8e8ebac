#include "app/render_job.h"

#include <chrono>

#include "platform/thread_priority.h"

namespace orva {

CRenderJob::~CRenderJob() {
    Stop();
}

void CRenderJob::Start(const CRenderRequest& request, Finished finished) {
    Stop();
    m_running = true;
    CRenderRequest own = request;
    own.interrupt = &m_interrupt;
    m_thread = std::thread([this, request = own, finished = std::move(finished)] {
        // The render's threads (this one and the band workers it starts) give way to the
        // window's thread, which then keeps answering even with every core rendering.
        LowerCurrentThreadPriority();
        const CRenderStats stats = RenderPicture(request);
        if (finished) {
            finished(stats);
        }
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_running = false;
        }
        m_done.notify_all();
    });
}

void CRenderJob::Stop() {
    if (!m_thread.joinable()) {
        return;
    }
    // The render forgets requests made before its row loop starts, so the request is repeated
    // until it has been seen.
    std::unique_lock<std::mutex> lock(m_mutex);
    while (m_running) {
        m_interrupt.Request();
        m_done.wait_for(lock, std::chrono::milliseconds(2));
    }
    lock.unlock();
    Join();
}

void CRenderJob::Join() {
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

}  // namespace orva
