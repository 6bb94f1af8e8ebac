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
    for (uint32_t slot : m_active) {
        RetireTriangle(m_slots[slot]);
    }
    for (std::size_t i = m_nextWaiting; i < m_waiting.size(); ++i) {
        RecycleVertices(m_waiting[i].vertices);
    }
}

// The walk knows a triangle's vertices: following their links would only wait on memory.
void CRenderMesh::RecycleVertices(CScanVertex* const* vertices) {
    for (int i = 0; i < 3; ++i) {
        m_pools->vertices.Recycle(vertices[i]);
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

// Triangles whose load scratch a thread keeps between meshes.
constexpr std::size_t kScratchKept = std::size_t(1) << 16;

// Orders loaded triangles for activation: by first row, then in reverse input order.
uint64_t ActivationKey(int firstRow, std::size_t inputIndex) {
    const uint64_t row = uint32_t(firstRow) ^ 0x80000000u;
    return row << 32 | (0xffffffffu - uint32_t(inputIndex));
}

// A vertex record spans two cache lines at most.
void Prefetch(const CScanVertex* v) {
    const char* bytes = reinterpret_cast<const char*>(v);
    __builtin_prefetch(bytes);
    __builtin_prefetch(bytes + sizeof(CScanVertex) - 1);
}

void PrefetchVertices(CScanVertex* const* vertices) {
    for (int i = 0; i < 3; ++i) {
        __builtin_prefetch(vertices[i], 1);
    }
}

void PrefetchEdgeValues(const CEdgeWalk& edge) {
    if (edge.values != nullptr) {
        // Set up on an earlier row: those are what the span reads.
        const char* bytes = reinterpret_cast<const char*>(edge.values);
        for (std::size_t at = 0; at < sizeof(CEdge); at += 64) {
            __builtin_prefetch(bytes + at);
        }
        __builtin_prefetch(bytes + sizeof(CEdge) - 1);
        return;
    }
    Prefetch(edge.p);
    if (edge.q != nullptr) {
        Prefetch(edge.q);
    }
}

CScanPoint PointOf(const CScanVertex& v) {
    return {v.x, v.y, v.z};
}

}  // namespace

void CRenderMesh::LoadTriangles(CScanVertex* chain, int firstRowLimit, int lastRowLimit) {
    // Triangles are activated by first row and, within a row, in reverse input order; those
    // begun above the first row are activated together on it, in the order a walk from their
    // own first rows would have activated them: that keeps the order of spans, and so the order
    // of fragments at equal depth, whatever row the walk starts on.
    // Scratch kept by each rendering thread from mesh to mesh: meshes are loaded by the
    // thousand, and growing fresh vectors each time costs more than the sorting.
    thread_local std::vector<std::pair<uint64_t, uint32_t>> order;  // key, place in `loaded`
    thread_local std::vector<CWaitingTriangle> loaded;
    order.clear();
    loaded.clear();
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
        if (lastRowLimit < firstRowLimit || first > lastRowLimit || end <= firstRowLimit) {
            RecycleTriangle(t);
            continue;
        }
        minFirst = any ? std::min(minFirst, RowOf(first)) : RowOf(first);
        maxEnd = any ? std::max(maxEnd, RowOf(end)) : RowOf(end);
        any = true;
        order.push_back({ActivationKey(RowOf(first), index), uint32_t(loaded.size())});
        CScanVertex* a = Second(t);
        CScanVertex* b = Third(t);
        b->link = nullptr;
        loaded.push_back({{t, a, b}, {PointOf(*t), PointOf(*a), PointOf(*b)}});
    }
    // Keys are unique, so any sort gives the one order.
    std::sort(order.begin(), order.end());
    m_waiting.reserve(order.size());
    for (const auto& entry : order) {
        m_waiting.push_back(loaded[entry.second]);
    }
    if (loaded.capacity() > kScratchKept) {
        // One huge mesh must not pin its memory for the rest of the thread's life.
        loaded = {};
        order = {};
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
    m_spanOrder.clear();
    m_columnSpans.clear();
    m_nextSpan = 0;
}

void CRenderMesh::RetireTriangle(CActiveTriangle& triangle) {
    ReleaseEdgeValues(triangle.first, *m_pools);
    ReleaseEdgeValues(triangle.second, *m_pools);
    RecycleVertices(triangle.vertices);
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
    for (uint32_t slot : m_active) {
        CActiveTriangle& t = m_slots[slot];
        if (y < t.secondPoint.y) {
            if (y >= t.thirdPoint.y) {
                ReleaseEdgeValues(t.second, *m_pools);
                EdgeSetUp(t.second, t.vertices[2], t.thirdPoint, t.vertices[1], t.secondPoint);
                t.thirdPoint.y = t.secondPoint.y;
            }
        } else if (y < t.thirdPoint.y) {
            ReleaseEdgeValues(t.first, *m_pools);
            EdgeSetUp(t.first, t.vertices[1], t.secondPoint, t.vertices[2], t.thirdPoint);
            t.secondPoint.y = t.thirdPoint.y;
        } else {
            RetireTriangle(t);
            m_freeSlots.push_back(slot);
            continue;
        }
        if (!(y + 1.0f < t.secondPoint.y) && !(y + 1.0f < t.thirdPoint.y)) {
            // Finished on the next row: its vertex records are given back then, and by now
            // they have long left the cache.
            PrefetchVertices(t.vertices);
        }
        m_active[kept++] = slot;
    }
    m_active.resize(kept);
}

// Activates the waiting triangles the row has reached, in their sorted order.
void CRenderMesh::ActivateWaiting(int row) {
    const float y = float(row);
    while (m_nextWaiting < m_waiting.size() && m_waiting[m_nextWaiting].points[0].y <= y) {
        const CWaitingTriangle& w = m_waiting[m_nextWaiting++];
        CScanVertex* const* v = w.vertices;
        const CScanPoint* p = w.points;
        const bool beforeA = y < p[1].y;
        const bool beforeB = y < p[2].y;
        if (!beforeA && !beforeB) {
            // Between two row centres: no pixels.
            RecycleVertices(v);
            continue;
        }
        uint32_t slot = 0;
        if (m_freeSlots.empty()) {
            slot = uint32_t(m_slots.size());
            m_slots.emplace_back();
        } else {
            slot = m_freeSlots.back();
            m_freeSlots.pop_back();
        }
        m_active.push_back(slot);
        CActiveTriangle& active = m_slots[slot];
        std::copy_n(v, 3, active.vertices);
        active.secondPoint = p[1];
        active.thirdPoint = p[2];
        if (beforeA && beforeB) {
            EdgeSetUp(active.first, v[0], p[0], v[1], p[1]);
            EdgeSetUp(active.second, v[0], p[0], v[2], p[2]);
        } else if (beforeB) {
            EdgeSetUp(active.first, v[1], p[1], v[2], p[2]);
            EdgeSetUp(active.second, v[0], p[0], v[2], p[2]);
        } else {
            EdgeSetUp(active.first, v[0], p[0], v[1], p[1]);
            EdgeSetUp(active.second, v[2], p[2], v[1], p[1]);
        }
    }
}

// One span per active triangle. Spans without pixels still count for the row's leftmost and
// rightmost columns (that decides which columns the tree walk asks for) but are not kept. The
// kept ones are sorted by first column, ties in activation order: a key of both is unique, so
// any sort gives that order.
void CRenderMesh::SetUpRowSpans(int row, int firstColumn, int lastColumn) {
    int leftmost = kNoLeftmostColumn;
    int rightmost = kNoRightmostColumn;
    for (uint32_t slot : m_active) {
        CActiveTriangle& t = m_slots[slot];
        CRowSpan& span = m_spans.emplace_back();
        span.source = &m_source;
        SetUpSpan(span, t.first, t.second, row, firstColumn, lastColumn);
        leftmost = std::min(leftmost, span.firstColumn);
        rightmost = std::max(rightmost, span.endColumn);
        if (span.firstColumn < span.endColumn) {
            const uint64_t column = uint32_t(span.firstColumn) ^ 0x80000000u;
            m_spanOrder.push_back(column << 32 | (m_spans.size() - 1));
            // A shaded span reads its edges' values, or sets them up from their vertex records,
            // none of which the walk reads otherwise: fetch them while the other spans are set
            // up.
            PrefetchEdgeValues(t.first);
            PrefetchEdgeValues(t.second);
        } else {
            m_spans.pop_back();
        }
    }
    if (m_active.empty()) {
        return;
    }
    leftmostColumn = leftmost;
    rightmostColumn = rightmost;
    std::sort(m_spanOrder.begin(), m_spanOrder.end());
}

CFragment* CRenderMesh::RawFragments(int column) {
    const uint64_t reached = uint64_t(uint32_t(column) ^ 0x80000000u) << 32 | 0xffffffffu;
    while (m_nextSpan < m_spanOrder.size() && m_spanOrder[m_nextSpan] <= reached) {
        m_columnSpans.push_back(uint32_t(m_spanOrder[m_nextSpan++]));
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
