#pragma once

namespace orva {

// Lets the calling thread, and the threads it starts afterwards, yield the processor to the
// rest of the process: long background work (a render) then never starves the window's
// thread. Only lowers; returns false where the system refused.
bool LowerCurrentThreadPriority();

// The calling thread's niceness (higher runs later), for reports and tests.
int CurrentThreadNiceness();

}  // namespace orva
