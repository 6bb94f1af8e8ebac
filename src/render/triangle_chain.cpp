#include "render/triangle_chain.h"

#include <algorithm>

namespace orva {

CTriangleChain::~CTriangleChain() {
    CScanVertex* v = Take();
    while (v != nullptr) {
        CScanVertex* next = v->link;
        m_pools.vertices.Recycle(v);
        v = next;
    }
}

void CTriangleChain::Append(const CScanVertex& v) {
    CScanVertex* record = m_pools.vertices.Acquire();
    *record = v;
    record->link = nullptr;
    *m_tail = record;
    m_tail = &record->link;
}

bool CTriangleChain::MayReachRows(float a, float b, float c) const {
    // A row past the last one or before the first is left out only when it is so by more than
    // a row, clear of the snapping to whole rows; anything not finite is the mesh's to judge.
    const float top = std::min({a, b, c});
    const float bottom = std::max({a, b, c});
    return !(bottom + 1.0f < float(m_firstRow) || top - 1.0f > float(m_lastRow));
}

void CTriangleChain::Add(const CScanVertex& a, const CScanVertex& b, const CScanVertex& c) {
    if (!MayReachRows(a.y, b.y, c.y)) {
        return;
    }
    Append(a);
    Append(b);
    Append(c);
}

CScanVertex* CTriangleChain::Take() {
    CScanVertex* chain = m_head;
    m_head = nullptr;
    m_tail = &m_head;
    return chain;
}

}  // namespace orva
