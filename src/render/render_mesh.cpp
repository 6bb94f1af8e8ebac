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

CRenderMesh::CRenderMesh(CRenderPools& pools, int16_t shadingMode)
    : pools_(&pools), shadingMode_(shadingMode) {
    kind = kNodeLeaf;
}

CRenderMesh::~CRenderMesh() {
    ReleaseRowSpans();
    while (activeEdges_ != nullptr) {
        CEdge* next = activeEdges_->link;
        pools_->edges.Recycle(activeEdges_);
        activeEdges_ = next;
    }
    for (CScanVertex* list : {activeTriangles_, waitingTriangles_}) {
        while (list != nullptr) {
            CScanVertex* next = list->link;
            pools_->vertices.Recycle(list);
            list = next;
        }
    }
}

void CRenderMesh::RecycleTriangle(CScanVertex* top) {
    CScanVertex* a = Second(top);
    CScanVertex* b = Third(top);
    pools_->vertices.Recycle(top);
    pools_->vertices.Recycle(a);
    pools_->vertices.Recycle(b);
}

void CRenderMesh::LoadTriangles(CScanVertex* chain, int firstRowLimit, int lastRowLimit) {
    // Rows are clipped to the render rectangle, so the buckets stay as few as its rows however
    // far a triangle reaches.
    const std::size_t bucketCount =
        lastRowLimit >= firstRowLimit ? std::size_t(lastRowLimit - firstRowLimit) + 1 : 0;
    std::vector<CScanVertex*> heads(bucketCount, nullptr);
    std::vector<CScanVertex*> tails(bucketCount, nullptr);
    int minFirst = lastRowLimit + 1;
    int maxEnd = firstRowLimit;
    while (chain != nullptr) {
        CScanVertex* v0 = chain;
        CScanVertex* v1 = v0->link;
        CScanVertex* v2 = v1 != nullptr ? v1->link : nullptr;
        if (v2 == nullptr) {
            pools_->vertices.Recycle(v0);
            pools_->vertices.Recycle(v1);
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
        const int firstRowOf = int(std::max(first, double(firstRowLimit)));
        const int endRowOf = int(std::min(end, lastRowLimit + 1.0));
        const std::size_t bucket = std::size_t(firstRowOf - firstRowLimit);
        // At the front of its bucket: a bucket holds its triangles in reverse input order.
        Third(t)->link = heads[bucket];
        if (heads[bucket] == nullptr) {
            tails[bucket] = Third(t);
        }
        heads[bucket] = t;
        minFirst = std::min(minFirst, firstRowOf);
        maxEnd = std::max(maxEnd, endRowOf);
    }
    CScanVertex** waitingTail = &waitingTriangles_;
    for (std::size_t i = 0; i < bucketCount; ++i) {
        if (heads[i] != nullptr) {
            *waitingTail = heads[i];
            waitingTail = &tails[i]->link;
        }
    }
    *waitingTail = nullptr;
    firstRow = waitingTriangles_ != nullptr ? minFirst : firstRowLimit;
    endRow = waitingTriangles_ != nullptr ? maxEnd : firstRowLimit;
}

void CRenderMesh::ReleaseRowSpans() {
    for (CSpan** list : {&spans, &activeSpans, &pendingSpans}) {
        while (*list != nullptr) {
            CSpan* next = (*list)->link;
            pools_->spans.Recycle(*list);
            *list = next;
        }
    }
    activeSpansTail_ = nullptr;
}

void CRenderMesh::AppendSpan(CEdge* first, CEdge* second, CRowTails& tails) {
    CSpan* span = pools_->spans.Acquire();
    span->firstEdge = first;
    span->secondEdge = second;
    *tails.span = span;
    tails.span = &span->link;
}

void CRenderMesh::AdvanceRow(int row) {
    if (!HasTriangles() || row < firstRow || row > endRow) {
        return;
    }
    ReleaseRowSpans();
    CRowTails tails{&activeTriangles_, &activeEdges_, &spans};
    AdvanceActive(row, tails);
    ActivateWaiting(row, tails);
}

// Steps the edges of the active triangles; an edge that passes its lower vertex continues
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
            StepEdge(*e1, shadingMode_);
            if (y < b->y) {
                StepEdge(*e2, shadingMode_);
            } else {
                EdgeSetUp(*e2, *b, *a, row, shadingMode_);
                b->y = a->y;
            }
        } else if (y < b->y) {
            StepEdge(*e2, shadingMode_);
            EdgeSetUp(*e1, *a, *b, row, shadingMode_);
            a->y = b->y;
        } else {
            *tails.triangle = b->link;
            *tails.edge = e2->link;
            pools_->edges.Recycle(e1);
            pools_->edges.Recycle(e2);
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
    while (waitingTriangles_ != nullptr && waitingTriangles_->y <= y) {
        CScanVertex* t = waitingTriangles_;
        CScanVertex* a = Second(t);
        CScanVertex* b = Third(t);
        waitingTriangles_ = b->link;
        b->link = nullptr;
        const bool beforeA = y < a->y;
        const bool beforeB = y < b->y;
        if (!beforeA && !beforeB) {
            // Between two row centres: no pixels.
            RecycleTriangle(t);
            continue;
        }
        CEdge* e1 = pools_->edges.Acquire();
        CEdge* e2 = pools_->edges.Acquire();
        e1->material = material;
        e2->material = material;
        if (beforeA && beforeB) {
            EdgeSetUp(*e1, *t, *a, row, shadingMode_);
            EdgeSetUp(*e2, *t, *b, row, shadingMode_);
        } else if (beforeB) {
            EdgeSetUp(*e1, *a, *b, row, shadingMode_);
            EdgeSetUp(*e2, *t, *b, row, shadingMode_);
        } else {
            EdgeSetUp(*e1, *t, *a, row, shadingMode_);
            EdgeSetUp(*e2, *b, *a, row, shadingMode_);
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
        (activeSpansTail_ != nullptr ? activeSpansTail_->link : activeSpans) = span;
        activeSpansTail_ = span;
    }
    CFragment* list = nullptr;
    CFragment** tail = &list;
    CSpan* last = nullptr;
    for (CSpan** at = &activeSpans; *at != nullptr;) {
        CSpan* span = *at;
        if (span->endColumn <= column) {
            *at = span->link;
            pools_->spans.Recycle(span);
            continue;
        }
        if (span->firstColumn < column) {
            span->depth += span->depthStep;
            StepInterpolation(span->values, shadingMode_);
        }
        CFragment* fragment = pools_->fragments.Acquire();
        fragment->span = span;
        fragment->orientation = span->orientation;
        fragment->depth = span->depth;
        *tail = fragment;
        tail = &fragment->link;
        last = span;
        at = &span->link;
    }
    activeSpansTail_ = last;
    return SortList(list, [](const CFragment& a, const CFragment& b) { return a.depth > b.depth; });
}

std::unique_ptr<CRenderMesh> BuildMesh(CRenderPools& pools, int16_t shadingMode,
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
        SetUpSpan(*span, firstColumn, lastColumn, mesh.ShadingMode());
        mesh.rightmostColumn = std::max(mesh.rightmostColumn, span->endColumn);
    }
    mesh.spans = SortList(
        mesh.spans, [](const CSpan& a, const CSpan& b) { return a.firstColumn < b.firstColumn; });
    mesh.leftmostColumn = mesh.spans != nullptr ? mesh.spans->firstColumn : kNoLeftmostColumn;
    mesh.pendingSpans = mesh.spans;
    mesh.spans = nullptr;
}

}  // namespace orva
