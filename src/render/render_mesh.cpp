#include "render/render_mesh.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "render/list_sort.h"
#include "render/span_setup.h"

namespace orva {

namespace {

// Rows within this of a whole row become that row, so that vertices shared by neighbouring
// triangles but rounded differently fall on the same side of a row centre.
constexpr float kRowSnap = 0.001f;

void SnapRow(CScanVertex& v) {
    const float k = std::floor(v.y + kRowSnap);
    if (v.y - k < kRowSnap) {
        v.y = k;
    }
}

bool IsFinite(const CScanVertex& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// Puts the vertex with the smallest y first, keeping the cyclic order. Returns the new top;
// the third vertex's link is left to the caller.
CScanVertex* TopFirst(CScanVertex* v0, CScanVertex* v1, CScanVertex* v2) {
    CScanVertex* order[3] = {v0, v1, v2};
    int top = 0;
    for (int i = 1; i < 3; ++i) {
        if (order[i]->y < order[top]->y) {
            top = i;
        }
    }
    CScanVertex* t = order[top];
    CScanVertex* a = order[(top + 1) % 3];
    CScanVertex* b = order[(top + 2) % 3];
    t->link = a;
    a->link = b;
    b->link = nullptr;
    return t;
}

CScanVertex* Second(CScanVertex* top) {
    return top->link;
}
CScanVertex* Third(CScanVertex* top) {
    return top->link->link;
}

}  // namespace

struct CRenderMesh::CRowTails {
    CScanVertex** triangle;  // where the next active triangle goes
    CEdge** edge;
    CSpan** span;
};

CRenderMesh::CRenderMesh(CRenderPools& pools, EShading shadingMode)
    : m_pools(&pools), m_shadingMode(shadingMode) {
    kind = kNodeLeaf;
}

CRenderMesh::~CRenderMesh() {
    ReleaseRowSpans();
    while (m_activeEdges != nullptr) {
        CEdge* next = m_activeEdges->link;
        m_pools->edges.Recycle(m_activeEdges);
        m_activeEdges = next;
    }
    for (CScanVertex* list : {m_activeTriangles, m_waitingTriangles}) {
        while (list != nullptr) {
            CScanVertex* next = list->link;
            m_pools->vertices.Recycle(list);
            list = next;
        }
    }
}

void CRenderMesh::RecycleTriangle(CScanVertex* top) {
    CScanVertex* a = Second(top);
    CScanVertex* b = Third(top);
    m_pools->vertices.Recycle(top);
    m_pools->vertices.Recycle(a);
    m_pools->vertices.Recycle(b);
}

namespace {

// Rows far beyond any picture are held here, so that they fit an int and still order alike.
constexpr double kFarRow = 1 << 30;

int RowOf(double row) {
    return static_cast<int>(std::clamp(row, -kFarRow, kFarRow));
}

// A triangle that begins above the first row of the walk, with what orders it.
struct CEarlyTriangle {
    CScanVertex* top;
    int firstRow;
    std::size_t inputIndex;
};

}  // namespace

void CRenderMesh::LoadTriangles(CScanVertex* chain, int firstRowLimit, int lastRowLimit) {
    // Rows are clipped to the render rectangle, so the buckets stay as few as its rows however
    // far a triangle reaches.
    const std::size_t bucketCount =
        lastRowLimit >= firstRowLimit ? std::size_t(lastRowLimit - firstRowLimit) + 1 : 0;
    std::vector<CScanVertex*> heads(bucketCount, nullptr);
    std::vector<CScanVertex*> tails(bucketCount, nullptr);
    std::vector<CEarlyTriangle> early;
    int minFirst = 0;
    int maxEnd = 0;
    bool any = false;
    for (std::size_t index = 0; chain != nullptr; ++index) {
        CScanVertex* v0 = chain;
        CScanVertex* v1 = v0->link;
        CScanVertex* v2 = v1 != nullptr ? v1->link : nullptr;
        if (v2 == nullptr) {
            m_pools->vertices.Recycle(v0);
            m_pools->vertices.Recycle(v1);
            break;
        }
        chain = v2->link;
        CScanVertex* t = TopFirst(v0, v1, v2);
        if (!IsFinite(*v0) || !IsFinite(*v1) || !IsFinite(*v2)) {
            RecycleTriangle(t);
            continue;
        }
        SnapRow(*v0);
        SnapRow(*v1);
        SnapRow(*v2);
        t = TopFirst(v0, v1, v2);
        const double first = std::ceil(double(t->y));
        const double end = std::ceil(double(std::max(Second(t)->y, Third(t)->y)));
        if (bucketCount == 0 || first > lastRowLimit || end <= firstRowLimit) {
            RecycleTriangle(t);
            continue;
        }
        minFirst = any ? std::min(minFirst, RowOf(first)) : RowOf(first);
        maxEnd = any ? std::max(maxEnd, RowOf(end)) : RowOf(end);
        any = true;
        if (first < firstRowLimit) {
            early.push_back({t, RowOf(first), index});
            continue;
        }
        // At the front of its bucket: a bucket holds its triangles in reverse input order.
        const std::size_t bucket = std::size_t(int(first) - firstRowLimit);
        Third(t)->link = heads[bucket];
        if (heads[bucket] == nullptr) {
            tails[bucket] = Third(t);
        }
        heads[bucket] = t;
    }
    // Triangles begun above the first row are activated together on it, in the order a walk
    // from their own first rows would have activated them: that keeps the order of spans, and
    // so the order of fragments at equal depth, whatever row the walk starts on.
    std::sort(early.begin(), early.end(), [](const CEarlyTriangle& a, const CEarlyTriangle& b) {
        return a.firstRow != b.firstRow ? a.firstRow < b.firstRow : a.inputIndex > b.inputIndex;
    });
    CScanVertex** waitingTail = &m_waitingTriangles;
    for (const CEarlyTriangle& e : early) {
        *waitingTail = e.top;
        waitingTail = &Third(e.top)->link;
    }
    for (std::size_t i = 0; i < bucketCount; ++i) {
        if (heads[i] != nullptr) {
            *waitingTail = heads[i];
            waitingTail = &tails[i]->link;
        }
    }
    *waitingTail = nullptr;
    // The rows the triangles reach, beyond the rectangle too, so that nodes order alike
    // whatever part of the picture is rendered.
    firstRow = any ? minFirst : firstRowLimit;
    endRow = any ? maxEnd : firstRowLimit;
}

void CRenderMesh::ReleaseRowSpans() {
    for (CSpan** list : {&spans, &activeSpans, &pendingSpans}) {
        while (*list != nullptr) {
            CSpan* next = (*list)->link;
            m_pools->spans.Recycle(*list);
            *list = next;
        }
    }
    m_activeSpansTail = nullptr;
}

void CRenderMesh::AppendSpan(CEdge* first, CEdge* second, CRowTails& tails) {
    CSpan* span = m_pools->spans.Acquire();
    span->firstEdge = first;
    span->secondEdge = second;
    span->surface = owner != nullptr ? owner : this;
    *tails.span = span;
    tails.span = &span->link;
}

void CRenderMesh::AdvanceRow(int row) {
    if (!HasTriangles() || row < firstRow || row > endRow) {
        return;
    }
    ReleaseRowSpans();
    CRowTails tails{&m_activeTriangles, &m_activeEdges, &spans};
    AdvanceActive(row, tails);
    ActivateWaiting(row, tails);
}

// Follows the active triangles down one row: an edge that passes its lower vertex continues
// along the third side, and a triangle whose last vertex is passed is finished.
void CRenderMesh::AdvanceActive(int row, CRowTails& tails) {
    const float y = float(row);
    while (*tails.triangle != nullptr) {
        CScanVertex* t = *tails.triangle;
        CScanVertex* a = Second(t);
        CScanVertex* b = Third(t);
        CEdge* e1 = *tails.edge;
        CEdge* e2 = e1->link;
        if (y < a->y) {
            if (y >= b->y) {
                EdgeSetUp(*e2, *b, *a, m_shadingMode);
                b->y = a->y;
            }
        } else if (y < b->y) {
            EdgeSetUp(*e1, *a, *b, m_shadingMode);
            a->y = b->y;
        } else {
            *tails.triangle = b->link;
            *tails.edge = e2->link;
            m_pools->edges.Recycle(e1);
            m_pools->edges.Recycle(e2);
            RecycleTriangle(t);
            continue;
        }
        AppendSpan(e1, e2, tails);
        tails.triangle = &b->link;
        tails.edge = &e2->link;
    }
}

// Activates the waiting triangles the row has reached, in their sorted order.
void CRenderMesh::ActivateWaiting(int row, CRowTails& tails) {
    const float y = float(row);
    while (m_waitingTriangles != nullptr && m_waitingTriangles->y <= y) {
        CScanVertex* t = m_waitingTriangles;
        CScanVertex* a = Second(t);
        CScanVertex* b = Third(t);
        m_waitingTriangles = b->link;
        b->link = nullptr;
        const bool beforeA = y < a->y;
        const bool beforeB = y < b->y;
        if (!beforeA && !beforeB) {
            // Between two row centres: no pixels.
            RecycleTriangle(t);
            continue;
        }
        CEdge* e1 = m_pools->edges.Acquire();
        CEdge* e2 = m_pools->edges.Acquire();
        e1->material = material;
        e2->material = material;
        if (beforeA && beforeB) {
            EdgeSetUp(*e1, *t, *a, m_shadingMode);
            EdgeSetUp(*e2, *t, *b, m_shadingMode);
        } else if (beforeB) {
            EdgeSetUp(*e1, *a, *b, m_shadingMode);
            EdgeSetUp(*e2, *t, *b, m_shadingMode);
        } else {
            EdgeSetUp(*e1, *t, *a, m_shadingMode);
            EdgeSetUp(*e2, *b, *a, m_shadingMode);
        }
        *tails.triangle = t;
        tails.triangle = &b->link;
        e1->link = e2;
        e2->link = nullptr;
        *tails.edge = e1;
        tails.edge = &e2->link;
        AppendSpan(e1, e2, tails);
    }
}

CFragment* CRenderMesh::RawFragments(int column) {
    while (pendingSpans != nullptr && pendingSpans->firstColumn <= column) {
        CSpan* span = pendingSpans;
        pendingSpans = span->link;
        span->link = nullptr;
        (m_activeSpansTail != nullptr ? m_activeSpansTail->link : activeSpans) = span;
        m_activeSpansTail = span;
    }
    CFragment* list = nullptr;
    CFragment** tail = &list;
    CSpan* last = nullptr;
    for (CSpan** at = &activeSpans; *at != nullptr;) {
        CSpan* span = *at;
        if (span->endColumn <= column) {
            *at = span->link;
            m_pools->spans.Recycle(span);
            continue;
        }
        span->depth = span->originDepth + span->depthStep * (float(column) - span->originX);
        if (!std::isfinite(span->depth)) {
            // A depth beyond float range far along a huge span: nothing to sort or shade.
            at = &span->link;
            last = span;
            continue;
        }
        CFragment* fragment = m_pools->fragments.Acquire();
        fragment->span = span;
        fragment->orientation = span->orientation;
        fragment->depth = span->depth;
        *tail = fragment;
        tail = &fragment->link;
        last = span;
        at = &span->link;
    }
    m_activeSpansTail = last;
    return SortList(list, [](const CFragment& a, const CFragment& b) { return a.depth > b.depth; });
}

std::unique_ptr<CRenderMesh> BuildMesh(CRenderPools& pools, EShading shadingMode,
                                       CScanVertex* triangles, const CRenderMaterial* material,
                                       int firstRow, int lastRow) {
    auto mesh = std::make_unique<CRenderMesh>(pools, shadingMode);
    mesh->material = material;
    mesh->LoadTriangles(triangles, firstRow, lastRow);
    if (!mesh->HasTriangles()) {
        return nullptr;
    }
    return mesh;
}

void AdvanceLeafToRow(CRenderMesh& mesh, int row, int firstColumn, int lastColumn) {
    // Past its end row the mesh makes no spans, and last row's must not linger.
    mesh.ReleaseRowSpans();
    mesh.AdvanceRow(row);
    mesh.rightmostColumn = kNoRightmostColumn;
    for (CSpan* span = mesh.spans; span != nullptr; span = span->link) {
        SetUpSpan(*span, row, firstColumn, lastColumn);
        mesh.rightmostColumn = std::max(mesh.rightmostColumn, span->endColumn);
    }
    mesh.spans = SortList(
        mesh.spans, [](const CSpan& a, const CSpan& b) { return a.firstColumn < b.firstColumn; });
    mesh.leftmostColumn = mesh.spans != nullptr ? mesh.spans->firstColumn : kNoLeftmostColumn;
    mesh.pendingSpans = mesh.spans;
    mesh.spans = nullptr;
}

}  // namespace orva
