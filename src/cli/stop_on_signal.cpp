#include "cli/stop_on_signal.h"

#include <csignal>

namespace orva {

namespace {

volatile std::sig_atomic_t g_stopRequested = 0;

extern "C" void StopOnSignal(int) {
    g_stopRequested = 1;
    UserInterrupt().Request();
}

bool AskStopFlag() {
    return g_stopRequested != 0;
}

}  // namespace

CStopOnSignal::CStopOnSignal()
    : m_previousHandler(std::signal(SIGINT, StopOnSignal)),
      m_previousSource(UserInterrupt().SetSource(AskStopFlag)) {}

CStopOnSignal::~CStopOnSignal() {
    UserInterrupt().SetSource(m_previousSource);
    std::signal(SIGINT, m_previousHandler);
}

bool StopRequested() {
    return g_stopRequested != 0;
}

}  // namespace orva
