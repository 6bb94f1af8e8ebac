#include "platform/interrupt.h"

namespace orva {

bool CInterrupt::Poll() {
    if (m_flag.load() != 0) {
        return true;
    }
    const InterruptSource source = m_source.load();
    if (m_requested.exchange(0) != 0 || (source != nullptr && source())) {
        m_flag.store(1);
        return true;
    }
    return false;
}

void CInterrupt::Reset() {
    m_requested.store(0);
    m_flag.store(0);
}

CInterrupt& UserInterrupt() {
    static CInterrupt interrupt;
    return interrupt;
}

}  // namespace orva
