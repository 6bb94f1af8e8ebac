#include "render/csg/triangle_chain.h"

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

void CTriangleChain::Add(const CScanVertex& a, const CScanVertex& b, const CScanVertex& c) {
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
