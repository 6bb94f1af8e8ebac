#include "render/csg/crossing_lists.h"

namespace orva {
namespace {

// Chains kept fragments in order without touching the heap. It remembers which link holds the
// last kept fragment, so that an interval that never closes can be taken back.
class CResultList {
public:
    void Keep(CFragment* fragment) {
        m_lastLink = m_tail;
        *m_tail = fragment;
        m_tail = &fragment->link;
    }

    // Only called after at least one Keep.
    void DropLast(CRenderPools& pools) {
        pools.fragments.Recycle(*m_lastLink);
        m_tail = m_lastLink;
    }

    CFragment* Finish() {
        *m_tail = nullptr;
        return m_head;
    }

private:
    CFragment* m_head = nullptr;
    CFragment** m_tail = &m_head;
    CFragment** m_lastLink = &m_head;
};

enum class ECombine { kUnion, kIntersection, kDifference };

bool CombinedInside(ECombine operation, bool inA, bool inB) {
    switch (operation) {
        case ECombine::kUnion:
            return inA || inB;
        case ECombine::kIntersection:
            return inA && inB;
        case ECombine::kDifference:
            return inA && !inB;
    }
    return false;
}

// A combination with an empty list: `list` itself when `keep`, else nothing. What the walk
// below would give, without it: every fragment toggles the combined answer, except an entry
// that ends its list.
CFragment* CombineWithEmpty(CFragment* list, bool keep, CRenderPools& pools) {
    if (!keep) {
        RecycleFragments(pools, list);
        return nullptr;
    }
    if (list == nullptr) {
        return nullptr;
    }
    CFragment** lastLink = &list;
    bool odd = true;
    while ((*lastLink)->link != nullptr) {
        lastLink = &(*lastLink)->link;
        odd = !odd;
    }
    if (odd) {
        pools.fragments.Recycle(*lastLink);
        *lastLink = nullptr;
    }
    return list;
}

// Walks both crossing lists in depth order at once. Each fragment toggles whether the ray is
// inside its own list's solid; it stays exactly where the combined answer changes, so the
// result alternates entry and exit by construction. `aNearerOnTies` decides which list goes
// first at equal depth.
CFragment* Combine(CFragment* a, CFragment* b, bool aNearerOnTies, ECombine operation,
                   CRenderPools& pools) {
    if (a == nullptr) {
        return CombineWithEmpty(b, operation == ECombine::kUnion, pools);
    }
    if (b == nullptr) {
        return CombineWithEmpty(a, operation != ECombine::kIntersection, pools);
    }
    bool inA = false;
    bool inB = false;
    bool inside = false;
    CResultList result;
    while (a != nullptr || b != nullptr) {
        const bool takeA =
            b == nullptr ||
            (a != nullptr && (a->depth > b->depth || (aNearerOnTies && a->depth == b->depth)));
        CFragment*& source = takeA ? a : b;
        bool& inSource = takeA ? inA : inB;
        CFragment* fragment = source;
        source = fragment->link;
        // An entry that ends its list has no exit: without this the rest of the ray would count
        // as inside that solid.
        if (!inSource && source == nullptr) {
            pools.fragments.Recycle(fragment);
            continue;
        }
        inSource = !inSource;
        const bool now = CombinedInside(operation, inA, inB);
        if (now != inside) {
            inside = now;
            result.Keep(fragment);
        } else {
            pools.fragments.Recycle(fragment);
        }
    }
    return result.Finish();
}

}  // namespace

CFragment* ReduceByCount(CFragment* raw, CRenderPools& pools) {
    CResultList result;
    int sum = 0;
    while (raw != nullptr) {
        CFragment* fragment = raw;
        raw = fragment->link;
        const bool wasOutside = sum == 0;
        sum += fragment->orientation;
        if (wasOutside != (sum == 0)) {
            result.Keep(fragment);
        } else {
            pools.fragments.Recycle(fragment);
        }
    }
    // Kept fragments alternate between opening and closing a run, so a run still open at the
    // end was opened by the last one kept.
    if (sum != 0) {
        result.DropLast(pools);
    }
    return result.Finish();
}

CFragment* MergeByDepth(CFragment* first, CFragment* second) {
    CFragment* head = nullptr;
    CFragment** tail = &head;
    while (first != nullptr && second != nullptr) {
        // `second` overtakes only when strictly nearer: that keeps `first` ahead on ties.
        CFragment*& source = second->depth > first->depth ? second : first;
        *tail = source;
        tail = &source->link;
        source = source->link;
    }
    *tail = first != nullptr ? first : second;
    return head;
}

CFragment* UnionCrossings(CFragment* built, CFragment* other, CRenderPools& pools) {
    return Combine(built, other, true, ECombine::kUnion, pools);
}

CFragment* IntersectCrossings(CFragment* built, CFragment* other, CRenderPools& pools) {
    return Combine(built, other, true, ECombine::kIntersection, pools);
}

CFragment* SubtractCrossings(CFragment* base, CFragment* cutter, CRenderPools& pools) {
    return Combine(base, cutter, false, ECombine::kDifference, pools);
}

}  // namespace orva
