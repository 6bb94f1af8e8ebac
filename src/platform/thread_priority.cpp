#include "platform/thread_priority.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

namespace orva {

namespace {

// How far below the window's thread background work runs: far enough that the window's
// drawing (and the driver threads it wakes) take the processor almost as on an idle machine,
// not so far that the work stalls behind other programs' ordinary load.
constexpr int kBackgroundNiceness = 10;

// On Linux the niceness belongs to each thread (addressed by its kernel id), and threads
// inherit it from the thread that starts them.
id_t CurrentThreadId() {
    return static_cast<id_t>(syscall(SYS_gettid));
}

}  // namespace

int CurrentThreadNiceness() {
    errno = 0;
    const int niceness = getpriority(PRIO_PROCESS, CurrentThreadId());
    return errno == 0 ? niceness : 0;
}

bool LowerCurrentThreadPriority() {
    const int target = CurrentThreadNiceness() + kBackgroundNiceness;
    return setpriority(PRIO_PROCESS, CurrentThreadId(), target > 19 ? 19 : target) == 0;
}

}  // namespace orva
