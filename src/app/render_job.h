#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "render/render_scene.h"
#include "view/interrupt.h"

namespace orva {

// One software render at a time on a thread of its own, so that the window keeps answering
// while rows arrive. The request is a snapshot: the caller keeps the scene it names unchanged
// until the render is stopped or has finished.
class CRenderJob {
public:
    using Finished = std::function<void(const CRenderStats&)>;

    CRenderJob() = default;
    ~CRenderJob();
    CRenderJob(const CRenderJob&) = delete;
    CRenderJob& operator=(const CRenderJob&) = delete;

    // Stops a render still running, then starts this one, stopped by the job's own interrupt
    // (the request's is replaced). `finished` runs on the render's thread once the last row
    // is handed over (or the render was stopped).
    void Start(const CRenderRequest& request, Finished finished);
    // Asks the render to stop after the rows in progress and waits for it; the rows already
    // delivered stay. Nothing when no render runs.
    void Stop();
    bool Running() const { return m_running.load(); }

private:
    void Join();

    CInterrupt m_interrupt;
    std::thread m_thread;
    std::atomic<bool> m_running{false};
    std::mutex m_mutex;
    std::condition_variable m_done;
};

}  // namespace orva
