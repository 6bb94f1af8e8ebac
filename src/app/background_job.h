#pragma once

#include <atomic>
#include <functional>
#include <thread>

#include "platform/interrupt.h"

namespace orva {

// One piece of work at a time on a thread of its own, below the window's thread in priority
// (it and the threads it starts then give way, so the window keeps answering with every core
// busy), stopped through the job's own interrupt. The caller keeps what the work reads
// unchanged until the job is stopped or has finished.
class CBackgroundJob {
public:
    // Runs with the job's interrupt and returns what is to be reported: that runs on the
    // job's thread once Running() is false.
    using Work = std::function<std::function<void()>(CInterrupt&)>;

    CBackgroundJob() = default;
    ~CBackgroundJob();
    CBackgroundJob(const CBackgroundJob&) = delete;
    CBackgroundJob& operator=(const CBackgroundJob&) = delete;

    // Stops work still running, then starts this.
    void Start(Work work);
    // Asks the work to stop and waits for its thread. The work only polls the job's
    // interrupt, so one request holds until the next Start.
    void Stop();
    // Asks once and returns at once.
    void RequestStop() { m_interrupt.Request(); }
    bool Running() const { return m_running.load(); }
    CInterrupt& Interrupt() { return m_interrupt; }

private:
    CInterrupt m_interrupt;
    std::thread m_thread;
    std::atomic<bool> m_running{false};
};

}  // namespace orva
