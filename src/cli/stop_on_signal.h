#pragma once

#include "platform/interrupt.h"

namespace orva {

// Ctrl+C stops a picture after the rows in progress, however early it comes: the request is
// kept in a flag that the user's interrupt asks, so that resetting the interrupt at the start
// of a render does not lose it. Installed for the lifetime of one command; pictures stopped by
// Ctrl+C take UserInterrupt() as their interrupt.
class CStopOnSignal {
public:
    CStopOnSignal();
    ~CStopOnSignal();
    CStopOnSignal(const CStopOnSignal&) = delete;
    CStopOnSignal& operator=(const CStopOnSignal&) = delete;

private:
    void (*m_previousHandler)(int);
    InterruptSource m_previousSource;
};

// True once Ctrl+C was pressed while a CStopOnSignal was installed.
bool StopRequested();

}  // namespace orva
