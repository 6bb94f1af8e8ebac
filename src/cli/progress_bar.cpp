#include "cli/progress_bar.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace orva {

CProgressBar::CProgressBar(std::function<int64_t()> done, std::function<int64_t()> total,
                           bool enabled)
    : m_done(std::move(done)), m_total(std::move(total)) {
    if (enabled) {
        m_thread = std::thread([this] { Run(); });
    }
}

CProgressBar::~CProgressBar() {
    m_finished = true;
    if (m_thread.joinable()) {
        m_thread.join();
        std::fputs("\r\033[K", stderr);
    }
}

void CProgressBar::Run() {
    while (!m_finished) {
        const int64_t total = m_total();
        const int64_t done = std::clamp<int64_t>(m_done(), 0, std::max<int64_t>(total, 0));
        const int percent = total > 0 ? static_cast<int>(100 * done / total) : 0;
        const int bar = percent * 40 / 100;
        std::fprintf(stderr, "\r[%-40.*s] %3d%%", bar,
                     "========================================", percent);
        std::fflush(stderr);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

}  // namespace orva
