#include "app/row_hold.h"

namespace orva {

void CRowHold::Hold(std::chrono::milliseconds atMost) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_heldUntil = std::chrono::steady_clock::now() + atMost;
}

void CRowHold::Release() {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_heldUntil = {};
    }
    m_released.notify_all();
}

void CRowHold::Wait() {
    std::unique_lock<std::mutex> lock(m_mutex);
    // The deadline is read anew after each wake: a release clears it, a new hold moves it.
    while (std::chrono::steady_clock::now() < m_heldUntil) {
        m_released.wait_until(lock, m_heldUntil);
    }
}

}  // namespace orva
