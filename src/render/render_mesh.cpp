#include "render/render_mesh.h"

#include <algorithm>
#include <cmath>
#include <vector>

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

CRenderMesh::CRenderMesh(CRenderPools& pools, EShading shadingMode)
    : m_pools(&pools), m_shadingMode(shadingMode) {
    kind = kNodeLeaf;
    m_source.pools = &pools;
    m_source.shadingMode = shadingMode;
}

CRenderMesh::~CRenderMesh() {
    ReleaseRowSpans();
    for (CActiveTriangle& triangle : m_active) {
        RetireTriangle(triangle);
    }
    for (std::size_t i = m_nextWaiting; i < m_waiting.size(); ++i) {
        RecycleTriangle(m_waiting[i].top);
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
    CScanVertex* waiting = nullptr;
    CScanVertex** waitingTail = &waiting;
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
    for (CScanVertex* t = waiting; t != nullptr;) {
        CScanVertex* next = Third(t)->link;
        Third(t)->link = nullptr;
        m_waiting.push_back({t, Second(t), Third(t), t->y});
        t = next;
    }
    // The rows the triangles reach, beyond the rectangle too, so that nodes order alike
    // whatever part of the picture is rendered.
    firstRow = any ? minFirst : firstRowLimit;
    endRow = any ? maxEnd : firstRowLimit;
}

void CRenderMesh::ReleaseRowSpans() {
    for (CRowSpan& span : m_spans) {
        m_pools->spans.Recycle(span.shaded);
    }
    m_spans.clear();
    m_columnSpans.clear();
    m_nextSpan = 0;
}

void CRenderMesh::RetireTriangle(CActiveTriangle& triangle) {
    ReleaseEdgeValues(triangle.first, *m_pools);
    ReleaseEdgeValues(triangle.second, *m_pools);
    RecycleTriangle(triangle.top);
}

void CRenderMesh::WalkRow(int row, int firstColumn, int lastColumn) {
    // Past its end row the mesh makes no spans, and last row's must not linger.
    ReleaseRowSpans();
    leftmostColumn = kNoLeftmostColumn;
    rightmostColumn = kNoRightmostColumn;
    if (!HasTriangles() || row < firstRow || row > endRow) {
        return;
    }
    m_source.surface = owner != nullptr ? owner : this;
    m_source.material = material;
    AdvanceActive(row);
    ActivateWaiting(row);
    SetUpRowSpans(row, firstColumn, lastColumn);
}

// Follows the active triangles down one row: an edge that passes its lower vertex continues
// along the third side, and a triangle whose last vertex is passed is finished. The order of
// the triangles stays.
void CRenderMesh::AdvanceActive(int row) {
    const float y = float(row);
    std::size_t kept = 0;
    for (std::size_t i = 0; i < m_active.size(); ++i) {
        CActiveTriangle& t = m_active[i];
        if (y < t.secondY) {
            if (y >= t.thirdY) {
                ReleaseEdgeValues(t.second, *m_pools);
                EdgeSetUp(t.second, *t.thirdVertex, *t.secondVertex);
                t.thirdY = t.secondY;
            }
        } else if (y < t.thirdY) {
            ReleaseEdgeValues(t.first, *m_pools);
            EdgeSetUp(t.first, *t.secondVertex, *t.thirdVertex);
            t.secondY = t.thirdY;
        } else {
            RetireTriangle(t);
            continue;
        }
        if (kept != i) {
            m_active[kept] = t;
        }
        ++kept;
    }
    m_active.resize(kept);
}

// Activates the waiting triangles the row has reached, in their sorted order.
void CRenderMesh::ActivateWaiting(int row) {
    const float y = float(row);
    while (m_nextWaiting < m_waiting.size() && m_waiting[m_nextWaiting].topY <= y) {
        const CWaitingTriangle& w = m_waiting[m_nextWaiting++];
        CScanVertex* t = w.top;
        CScanVertex* a = w.second;
        CScanVertex* b = w.third;
        const bool beforeA = y < a->y;
        const bool beforeB = y < b->y;
        if (!beforeA && !beforeB) {
            // Between two row centres: no pixels.
            RecycleTriangle(t);
            continue;
        }
        CActiveTriangle& active = m_active.emplace_back();
        active.top = t;
        active.secondVertex = a;
        active.thirdVertex = b;
        active.secondY = a->y;
        active.thirdY = b->y;
        if (beforeA && beforeB) {
            EdgeSetUp(active.first, *t, *a);
            EdgeSetUp(active.second, *t, *b);
        } else if (beforeB) {
            EdgeSetUp(active.first, *a, *b);
            EdgeSetUp(active.second, *t, *b);
        } else {
            EdgeSetUp(active.first, *t, *a);
            EdgeSetUp(active.second, *b, *a);
        }
    }
}

// One span per active triangle. Spans without pixels still count for the row's leftmost and
// rightmost columns (that decides which columns the tree walk asks for) but are not kept. The
// kept ones are sorted by first column, ties in activation order: a key of both is unique, so
// any sort gives that order.
void CRenderMesh::SetUpRowSpans(int row, int firstColumn, int lastColumn) {
    m_unsortedSpans.clear();
    m_spanKeys.clear();
    int leftmost = kNoLeftmostColumn;
    int rightmost = kNoRightmostColumn;
    for (CActiveTriangle& t : m_active) {
        CRowSpan span;
        span.source = &m_source;
        SetUpSpan(span, t.first, t.second, row, firstColumn, lastColumn);
        leftmost = std::min(leftmost, span.firstColumn);
        rightmost = std::max(rightmost, span.endColumn);
        if (span.firstColumn < span.endColumn) {
            const uint64_t column = uint32_t(span.firstColumn) ^ 0x80000000u;
            m_spanKeys.push_back(column << 32 | m_unsortedSpans.size());
            m_unsortedSpans.push_back(span);
        }
    }
    if (m_active.empty()) {
        return;
    }
    leftmostColumn = leftmost;
    rightmostColumn = rightmost;
    std::sort(m_spanKeys.begin(), m_spanKeys.end());
    m_spans.reserve(m_spanKeys.size());
    for (uint64_t key : m_spanKeys) {
        m_spans.push_back(m_unsortedSpans[key & 0xffffffffu]);
    }
}

CFragment* CRenderMesh::RawFragments(int column) {
    while (m_nextSpan < m_spans.size() && m_spans[m_nextSpan].firstColumn <= column) {
        m_columnSpans.push_back(uint32_t(m_nextSpan++));
    }
    CFragment* list = nullptr;
    std::size_t kept = 0;
    for (uint32_t index : m_columnSpans) {
        CRowSpan& span = m_spans[index];
        if (span.endColumn <= column) {
            continue;
        }
        m_columnSpans[kept++] = index;
        const float depth = span.originDepth + span.depthStep * (float(column) - span.originX);
        if (!std::isfinite(depth)) {
            // A depth beyond float range far along a huge span: nothing to sort or shade.
            continue;
        }
        CFragment* fragment = m_pools->fragments.Acquire();
        fragment->rowSpan = &span;
        fragment->orientation = span.orientation;
        fragment->depth = depth;
        // Front first; behind those of equal depth, which came from earlier spans.
        CFragment** at = &list;
        while (*at != nullptr && !(depth > (*at)->depth)) {
            at = &(*at)->link;
        }
        fragment->link = *at;
        *at = fragment;
    }
    m_columnSpans.resize(kept);
    return list;
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
    mesh.WalkRow(row, firstColumn, lastColumn);
}

}  // namespace orva
