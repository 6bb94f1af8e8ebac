#pragma once

#include <atomic>

namespace orva {

// A further source an interrupt asks when no request is pending (for example a flag a signal
// handler sets).
using InterruptSource = bool (*)();

// Stopping a long picture. Whoever owns the picture (the window on Escape or a left click, a
// signal handler, a render job being stopped) asks for the interrupt; drawing polls it between
// units of work, from any thread. Each picture may have an interrupt of its own, so stopping
// one picture leaves the others running.
class CInterrupt {
public:
    // Safe to call from a signal handler and from any thread.
    void Request() { m_requested.store(1); }
    // True once an interrupt has been asked for since the last Reset. Once it has answered
    // true it keeps answering true without asking again.
    bool Poll();
    // Forgets the interrupt (and any request not yet seen): every picture starts with this.
    void Reset();
    // Null removes the source. Returns the one it replaces.
    InterruptSource SetSource(InterruptSource source) { return m_source.exchange(source); }

private:
    std::atomic<int> m_flag{0};
    std::atomic<int> m_requested{0};
    std::atomic<InterruptSource> m_source{nullptr};
};

// The user's own stop request (Ctrl+C in the command line). Process-wide because a signal
// handler can reach nothing else; atomic, so any thread may poll it.
CInterrupt& UserInterrupt();

}  // namespace orva
