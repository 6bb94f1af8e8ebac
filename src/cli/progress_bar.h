#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

namespace orva {

// Shows how far a long piece of work is while it runs, when a person watches stderr: a bar
// redrawn ten times a second on a thread of its own, and wiped when the bar goes.
class CProgressBar {
public:
    // `done` tells how many of `total` steps are done; `total` may change while it runs (a
    // total below 1 shows an empty bar).
    CProgressBar(std::function<int64_t()> done, std::function<int64_t()> total, bool enabled);
    CProgressBar(std::function<int64_t()> done, int64_t total, bool enabled)
        : CProgressBar(
              std::move(done), [total] { return total; }, enabled) {}
    ~CProgressBar();
    CProgressBar(const CProgressBar&) = delete;
    CProgressBar& operator=(const CProgressBar&) = delete;

private:
    void Run();

    std::function<int64_t()> m_done;
    std::function<int64_t()> m_total;
    std::atomic<bool> m_finished{false};
    std::thread m_thread;
};

}  // namespace orva
