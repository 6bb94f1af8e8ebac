#pragma once

namespace orva {

// Stopping a long picture. The user-interface thread (Escape or a left click) or a signal
// handler asks for an interrupt; drawing polls between units of work from any thread.
// Safe to call from a signal handler.
void RequestInterrupt();
// 1 once an interrupt has been asked for since the last ResetInterrupt, else 0. Once it has
// answered 1 it keeps answering 1 without asking again.
int PollInterrupt();
// Forgets the interrupt (and any request not yet seen): every picture starts with this.
void ResetInterrupt();

// A further source asked when no request is pending (for example a queue of waiting input);
// null removes it. Returns the one it replaces.
using InterruptSource = bool (*)();
InterruptSource SetInterruptSource(InterruptSource source);

}  // namespace orva
