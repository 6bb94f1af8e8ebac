#include "render/triangle_chain.h"

namespace orva {

CTriangleChain::~CTriangleChain() {
    CScanVertex* v = Take();
    while (v != nullptr) {
        CScanVertex* next = v->link;
        pools_.vertices.Recycle(v);
        v = next;
    }
}

void CTriangleChain::Append(const CScanVertex& v) {
    CScanVertex* record = pools_.vertices.Acquire();
    *record = v;
    record->link = nullptr;
    *tail_ = record;
    tail_ = &record->link;
}

void CTriangleChain::Add(const CScanVertex& a, const CScanVertex& b, const CScanVertex& c) {
    Append(a);
    Append(b);
    Append(c);
}

CScanVertex* CTriangleChain::Take() {
    CScanVertex* chain = head_;
    head_ = nullptr;
    tail_ = &head_;
    return chain;
}

}  // namespace orva
