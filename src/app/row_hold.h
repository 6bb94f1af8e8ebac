#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace orva {

// Render threads pause after their current row while the window composes a frame, so that the
// drawing has the processor: the window holds, the threads wait at each row they hand over,
// and the window releases once the frame is shown (or the hold runs out).
class CRowHold {
public:
    // Rows handed over from now on wait, until Release or for `atMost` at the longest.
    void Hold(std::chrono::milliseconds atMost);
    void Release();
    // Called by a render thread after each row: returns once no hold is in force.
    void Wait();

private:
    std::mutex m_mutex;
    std::condition_variable m_released;
    std::chrono::steady_clock::time_point m_heldUntil;  // in the past when rows flow freely
};

}  // namespace orva
