#include "cli/ordered_frames.h"

#include <algorithm>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "view/draw_surface.h"

namespace orva {

namespace {

// What the workers and the delivering thread share, all under one lock.
class CFrameQueue {
public:
    CFrameQueue(int count, int window) : m_count(count), m_window(window) {}

    // The next frame to render, or -1 when there is none left or the run stopped.
    int Claim() {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] {
            return m_stopped || m_nextClaim >= m_count || m_nextClaim < m_nextDelivery + m_window;
        });
        if (m_stopped || m_nextClaim >= m_count) {
            return -1;
        }
        return m_nextClaim++;
    }
    // A worker's frame, or null when its render stopped.
    void Done(int frame, std::unique_ptr<CImageSurface> picture) {
        const std::lock_guard lock(m_mutex);
        if (picture == nullptr) {
            m_stopped = true;
            m_renderStopped = true;
        } else {
            m_ready.emplace(frame, std::move(picture));
        }
        m_changed.notify_all();
    }
    // The frame whose turn it is, once rendered; null when the run stopped first.
    std::unique_ptr<CImageSurface> TakeNext() {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_stopped || m_ready.count(m_nextDelivery) != 0; });
        if (m_stopped) {
            return nullptr;
        }
        auto node = m_ready.extract(m_nextDelivery);
        return std::move(node.mapped());
    }
    void Delivered() {
        const std::lock_guard lock(m_mutex);
        ++m_nextDelivery;
        m_changed.notify_all();
    }
    void Stop() {
        const std::lock_guard lock(m_mutex);
        m_stopped = true;
        m_changed.notify_all();
    }
    bool RenderStopped() {
        const std::lock_guard lock(m_mutex);
        return m_renderStopped;
    }

private:
    const int m_count;
    const int m_window;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::map<int, std::unique_ptr<CImageSurface>> m_ready;
    int m_nextClaim = 0;
    int m_nextDelivery = 0;
    bool m_stopped = false;
    bool m_renderStopped = false;
};

}  // namespace

COrderedFramesResult RenderFramesInOrder(int count, int workers, const CFrameRender& render,
                                         const CFrameDelivery& deliver) {
    workers = std::clamp(workers, 1, std::max(1, count));
    CFrameQueue queue(count, 2 * workers);
    std::vector<std::thread> threads;
    for (int w = 0; w < workers; ++w) {
        threads.emplace_back([&] {
            for (int frame = queue.Claim(); frame >= 0; frame = queue.Claim()) {
                queue.Done(frame, render(frame));
            }
        });
    }
    COrderedFramesResult result;
    while (result.delivered < count) {
        const std::unique_ptr<CImageSurface> picture = queue.TakeNext();
        if (picture == nullptr) {
            break;
        }
        if (!deliver(result.delivered, *picture)) {
            result.deliveryFailed = true;
            break;
        }
        ++result.delivered;
        queue.Delivered();
    }
    queue.Stop();
    for (std::thread& thread : threads) {
        thread.join();
    }
    result.renderStopped = queue.RenderStopped();
    return result;
}

}  // namespace orva
