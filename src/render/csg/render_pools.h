#pragma once

#include "render/csg/cell_pool.h"
#include "render/csg/scan_records.h"

namespace orva {

// The scan converter's records of one thread of rendering work. Records of one render point
// at each other freely; they all go at once in Release, after the render tree is deleted.
struct CRenderPools {
    CCellPool<CScanVertex, 1024> vertices;
    CCellPool<CEdge, 256> edges;
    CCellPool<CSpan, 256> spans;
    CCellPool<CFragment, 1024> fragments;

    // Drops every block. No record of these pools may be used afterwards.
    void Release();
};

// Returns a whole fragment list to its pool.
void RecycleFragments(CRenderPools& pools, CFragment* list);

}  // namespace orva
