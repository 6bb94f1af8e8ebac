#pragma once

#include "render/render_pools.h"
#include "render/scan_records.h"

namespace orva {

// Collects triangles as chained vertex records from the pools, in the form LoadTriangles
// takes over. Records not taken go back to the pool when the chain goes.
class CTriangleChain {
public:
    explicit CTriangleChain(CRenderPools& pools) : m_pools(pools) {}
    // Only triangles that may reach the rows firstRow..lastRow are kept: a mesh loading the
    // chain for those rows drops the others anyway.
    CTriangleChain(CRenderPools& pools, int firstRow, int lastRow)
        : m_pools(pools), m_firstRow(firstRow), m_lastRow(lastRow) {}
    ~CTriangleChain();
    CTriangleChain(const CTriangleChain&) = delete;
    CTriangleChain& operator=(const CTriangleChain&) = delete;

    // Copies of a, b and c, in this order, unless the triangle lies wholly above or below the
    // rows.
    void Add(const CScanVertex& a, const CScanVertex& b, const CScanVertex& c);
    // Whether a triangle whose corners lie on rows a, b and c may reach the rows.
    bool MayReachRows(float a, float b, float c) const;
    // The chain so far; the collector starts empty again.
    CScanVertex* Take();
    bool Empty() const { return m_head == nullptr; }

private:
    void Append(const CScanVertex& v);

    CRenderPools& m_pools;
    int m_firstRow = -(1 << 30);
    int m_lastRow = 1 << 30;
    CScanVertex* m_head = nullptr;
    CScanVertex** m_tail = &m_head;
};

}  // namespace orva
