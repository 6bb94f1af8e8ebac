#include "view/interrupt.h"

#include <atomic>

namespace orva {

namespace {

std::atomic<int> g_interruptFlag{0};
std::atomic<int> g_interruptRequested{0};
std::atomic<InterruptSource> g_interruptSource{nullptr};

}  // namespace

void RequestInterrupt() {
    g_interruptRequested.store(1);
}

int PollInterrupt() {
    if (g_interruptFlag.load() != 0) {
        return 1;
    }
    const InterruptSource source = g_interruptSource.load();
    if (g_interruptRequested.exchange(0) != 0 || (source != nullptr && source())) {
        g_interruptFlag.store(1);
        return 1;
    }
    return 0;
}

void ResetInterrupt() {
    g_interruptRequested.store(0);
    g_interruptFlag.store(0);
}

InterruptSource SetInterruptSource(InterruptSource source) {
    return g_interruptSource.exchange(source);
}

}  // namespace orva
