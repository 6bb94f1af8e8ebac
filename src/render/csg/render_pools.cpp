#include "render/csg/render_pools.h"

namespace orva {

void CRenderPools::Release() {
    edges.Release();
    spans.Release();
    fragments.Release();
    vertices.Release();
}

void RecycleFragments(CRenderPools& pools, CFragment* list) {
    while (list != nullptr) {
        CFragment* next = list->link;
        pools.fragments.Recycle(list);
        list = next;
    }
}

}  // namespace orva
