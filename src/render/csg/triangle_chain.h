#pragma once

#include "render/csg/render_pools.h"
#include "render/csg/scan_records.h"

namespace orva {

// Collects triangles as chained vertex records from the pools, in the form LoadTriangles
// takes over. Records not taken go back to the pool when the chain goes.
class CTriangleChain {
public:
    explicit CTriangleChain(CRenderPools& pools) : m_pools(pools) {}
    ~CTriangleChain();
    CTriangleChain(const CTriangleChain&) = delete;
    CTriangleChain& operator=(const CTriangleChain&) = delete;

    // Copies of a, b and c, in this order.
    void Add(const CScanVertex& a, const CScanVertex& b, const CScanVertex& c);
    // The chain so far; the collector starts empty again.
    CScanVertex* Take();
    bool Empty() const { return m_head == nullptr; }

private:
    void Append(const CScanVertex& v);

    CRenderPools& m_pools;
    CScanVertex* m_head = nullptr;
    CScanVertex** m_tail = &m_head;
};

}  // namespace orva
