#include "render/csg/render_mesh.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <vector>

#include "render/csg/high_half_sort.h"
#include "render/csg/span_setup.h"
#include "render/csg/wanted_columns.h"

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

// Triangles are activated by first row and, within a row, in reverse input order; those begun
// above the first row are activated together on it, in the order a walk from their own first
// rows would have activated them: that keeps the order of spans, and so the order of fragments
// at equal depth, whatever row the walk starts on.
struct CRenderMesh::CLoading {
    // Scratch kept by each rendering thread from mesh to mesh: meshes are loaded by the
    // thousand, and growing fresh vectors each time costs more than the sorting.
    static thread_local std::vector<std::pair<uint64_t, uint32_t>> order;   // key, place in taken
    static thread_local std::vector<std::pair<uint64_t, uint32_t>> sorted;  // room for sorting
    static thread_local std::vector<uint32_t> rowCounts;
    static thread_local std::vector<CWaitingTriangle> taken;
    static thread_local std::vector<uint8_t> finite;    // per vertex
    static thread_local std::vector<double> firstRows;  // per vertex: the first row at or below

    static void TrimScratch() {
        if (order.capacity() > kScratchKept || finite.capacity() > kScratchKept) {
            // One huge mesh must not pin its memory for the rest of the thread's life.
            order = {};
            sorted = {};
            rowCounts = {};
            taken = {};
            finite = {};
            firstRows = {};
        }
    }

    const std::vector<CScanPoint>& points;
    int firstRowLimit = 0;
    int lastRowLimit = -1;
    int minFirst = 0;
    int maxEnd = 0;
    bool any = false;
    double rowsCovered = 0.0;  // by the triangles taken, within the rows

    // Takes the triangle through the vertices at a, b and c when they are finite and it reaches
    // the rows: its corners, top first (the earliest of equals), keep their cyclic order.
    void Take(uint32_t a, uint32_t b, uint32_t c, std::size_t index) {
        if (!finite[a] || !finite[b] || !finite[c]) {
            return;
        }
        const uint32_t corner[3] = {a, b, c};
        int top = 0;
        for (int i = 1; i < 3; ++i) {
            if (points[corner[i]].y < points[corner[top]].y) {
                top = i;
            }
        }
        const CWaitingTriangle t{{corner[top], corner[(top + 1) % 3], corner[(top + 2) % 3]}};
        const double first = firstRows[t.corners[0]];
        const double end = std::max(firstRows[t.corners[1]], firstRows[t.corners[2]]);
        if (lastRowLimit < firstRowLimit || first > lastRowLimit || end <= firstRowLimit) {
            return;
        }
        minFirst = any ? std::min(minFirst, RowOf(first)) : RowOf(first);
        maxEnd = any ? std::max(maxEnd, RowOf(end)) : RowOf(end);
        any = true;
        rowsCovered += std::max(
            0.0, std::min(end, lastRowLimit + 1.0) - std::max(first, double(firstRowLimit)));
        order.push_back({ActivationKey(RowOf(first), index), uint32_t(taken.size())});
        taken.push_back(t);
    }

    // About how many triangles are active on a busy row: twice as many as on an average one.
    std::size_t ExpectedActive() const {
        const double rows = std::min(maxEnd, lastRowLimit + 1) - std::max(minFirst, firstRowLimit);
        if (!any || !(rows > 0.0)) {
            return 0;
        }
        const double expected = 2.0 * rowsCovered / rows + 8.0;
        return std::min(order.size(), static_cast<std::size_t>(expected));
    }
};

thread_local std::vector<std::pair<uint64_t, uint32_t>> CRenderMesh::CLoading::order;
thread_local std::vector<std::pair<uint64_t, uint32_t>> CRenderMesh::CLoading::sorted;
thread_local std::vector<uint32_t> CRenderMesh::CLoading::rowCounts;
thread_local std::vector<CRenderMesh::CWaitingTriangle> CRenderMesh::CLoading::taken;
thread_local std::vector<uint8_t> CRenderMesh::CLoading::finite;
thread_local std::vector<double> CRenderMesh::CLoading::firstRows;

void CRenderMesh::LoadTriangles(CScanVertex* chain, int firstRowLimit, int lastRowLimit) {
    std::vector<CScanVertex> vertices;
    while (chain != nullptr) {
        CScanVertex* next = chain->link;
        vertices.push_back(*chain);
        vertices.back().link = nullptr;
        m_pools->vertices.Recycle(chain);
        chain = next;
    }
    vertices.resize(vertices.size() / 3 * 3);  // an unfinished triangle at the end is dropped
    std::vector<uint32_t> corners(vertices.size());
    std::iota(corners.begin(), corners.end(), 0u);
    LoadSharedTriangles(std::move(vertices), corners, firstRowLimit, lastRowLimit);
}

// Triangles share each vertex about six ways and vertex records are large: each vertex is
// checked, snapped and read once, and a waiting triangle is three places.
void CRenderMesh::LoadSharedTriangles(std::vector<CScanVertex> vertices,
                                      std::span<const uint32_t> corners, int firstRowLimit,
                                      int lastRowLimit) {
    m_vertices = std::move(vertices);
    m_points.resize(m_vertices.size());
    CLoading::finite.resize(m_vertices.size());
    CLoading::firstRows.resize(m_vertices.size());
    for (std::size_t i = 0; i < m_vertices.size(); ++i) {
        CScanVertex& v = m_vertices[i];
        CLoading::finite[i] = IsFinite(v);
        if (CLoading::finite[i]) {
            SnapRow(v);
        }
        m_points[i] = PointOf(v);
        // A triangle's rows begin at its top vertex's and end at its lower vertices' (ceil
        // keeps the order of rows, so the larger of two is the ceil of the lower vertex).
        CLoading::firstRows[i] = std::ceil(double(v.y));
    }
    CLoading loading{m_points};
    loading.firstRowLimit = firstRowLimit;
    loading.lastRowLimit = lastRowLimit;
    CLoading::order.clear();
    CLoading::taken.clear();
    const std::size_t count = m_vertices.size();
    for (std::size_t k = 0; k + 2 < corners.size(); k += 3) {
        if (corners[k] < count && corners[k + 1] < count && corners[k + 2] < count) {
            loading.Take(corners[k], corners[k + 1], corners[k + 2], k / 3);
        }
    }
    // Keys are unique, so any sort gives the one order; their low halves fall with the input.
    SortByHighHalf(
        CLoading::order, CLoading::sorted, CLoading::rowCounts,
        [](const std::pair<uint64_t, uint32_t>& entry) { return entry.first; }, true);
    m_waiting.reserve(CLoading::order.size());
    for (const auto& entry : CLoading::order) {
        m_waiting.push_back(CLoading::taken[entry.second]);
    }
    m_expectedActive = loading.ExpectedActive();
    // The rows the triangles reach, beyond the rectangle too, so that nodes order alike
    // whatever part of the picture is rendered.
    firstRow = loading.any ? loading.minFirst : firstRowLimit;
    endRow = loading.any ? loading.maxEnd : firstRowLimit;
    CLoading::TrimScratch();
}

void CRenderMesh::ReleaseRowSpans() {
    for (CRowSpan& span : m_spans) {
        m_pools->spans.Recycle(span.shaded);
    }
    m_spans.clear();
    m_spanOrder.clear();
    m_columnSpans.clear();
    m_nextSpan = 0;
    nextSpanColumn = kNoLeftmostColumn;
}

void CRenderMesh::RetireTriangle(CActiveTriangle& triangle) {
    ReleaseEdgeValues(triangle.first, *m_pools);
    ReleaseEdgeValues(triangle.second, *m_pools);
}

void CRenderMesh::WalkRow(int row, int firstColumn, int lastColumn, const CWantedColumns* wanted) {
    // Past its end row the mesh makes no spans, and last row's must not linger.
    ReleaseRowSpans();
    leftmostColumn = kNoLeftmostColumn;
    rightmostColumn = kNoRightmostColumn;
    if (!HasTriangles() || row < firstRow || row > endRow) {
        return;
    }
    m_source.surface = owner != nullptr ? owner : this;
    m_source.material = material;
    if (m_slots.capacity() == 0) {
        ReserveRowRecords();
    }
    AdvanceActive(row);
    ActivateWaiting(row);
    SetUpRowSpans(row, firstColumn, lastColumn, wanted);
}

// Meshes are walked by the thousand: room for a busy row's triangles and spans from the start
// saves growing each array step by step.
void CRenderMesh::ReserveRowRecords() {
    const std::size_t expected = m_expectedActive;
    m_slots.reserve(expected);
    m_active.reserve(expected);
    m_spans.reserve(expected);
    m_spanOrder.reserve(expected);
    m_sortedOrder.reserve(expected);
    m_columnSpans.reserve(expected);
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
        m_active[kept++] = slot;
    }
    m_active.resize(kept);
}

// Activates the waiting triangles the row has reached, in their sorted order.
void CRenderMesh::ActivateWaiting(int row) {
    const float y = float(row);
    while (m_nextWaiting < m_waiting.size() &&
           m_points[m_waiting[m_nextWaiting].corners[0]].y <= y) {
        const CWaitingTriangle& w = m_waiting[m_nextWaiting++];
        const CScanPoint p[3] = {m_points[w.corners[0]], m_points[w.corners[1]],
                                 m_points[w.corners[2]]};
        const bool beforeA = y < p[1].y;
        const bool beforeB = y < p[2].y;
        if (!beforeA && !beforeB) {
            continue;  // between two row centres: no pixels
        }
        CScanVertex* const v[3] = {&m_vertices[w.corners[0]], &m_vertices[w.corners[1]],
                                   &m_vertices[w.corners[2]]};
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
// rightmost columns (that decides which columns the tree walk asks for) but are not kept, nor
// are those reaching no wanted column. The kept ones are sorted by first column, ties in
// activation order: a key of both is unique, so any sort gives that order. The keys do not
// depend on what is wanted: at any column asked for, the spans there come in the same order
// with or without the others, and so do fragments of equal depth.
void CRenderMesh::SetUpRowSpans(int row, int firstColumn, int lastColumn,
                                const CWantedColumns* wanted) {
    int leftmost = kNoLeftmostColumn;
    int rightmost = kNoRightmostColumn;
    for (uint32_t slot : m_active) {
        CActiveTriangle& t = m_slots[slot];
        const CSpanEnds ends = SpanEnds(t.first, t.second, row, firstColumn, lastColumn);
        if (ends.firstColumn == ends.endColumn ||
            (wanted != nullptr && !wanted->AnyIn(ends.firstColumn, ends.endColumn))) {
            // No column centre between the edges, as for half the spans of a fine mesh, or
            // none asked for: only its columns count.
            leftmost = std::min(leftmost, ends.firstColumn);
            rightmost = std::max(rightmost, ends.endColumn);
            continue;
        }
        CRowSpan& span = m_spans.emplace_back();
        span.source = &m_source;
        SetUpSpan(span, t.first, t.second, row, ends, firstColumn, lastColumn);
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
    SortByHighHalf(
        m_spanOrder, m_sortedOrder, m_columnCounts, [](uint64_t key) { return key; }, false);
    SetNextSpanColumn();
}

namespace {

int FirstColumnOf(uint64_t spanKey) {
    return int(uint32_t(spanKey >> 32) ^ 0x80000000u);
}

}  // namespace

// With spans at the column the next column must be asked for; without, the next span's first.
void CRenderMesh::SetNextSpanColumn() {
    if (!m_columnSpans.empty()) {
        nextSpanColumn = kAskAtEveryColumn;
    } else if (m_nextSpan < m_spanOrder.size()) {
        nextSpanColumn = FirstColumnOf(m_spanOrder[m_nextSpan]);
    } else {
        nextSpanColumn = kNoLeftmostColumn;
    }
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
    SetNextSpanColumn();
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

std::unique_ptr<CRenderMesh> BuildSharedMesh(CRenderPools& pools, EShading shadingMode,
                                             std::vector<CScanVertex> vertices,
                                             std::span<const uint32_t> corners,
                                             const CRenderMaterial* material, int firstRow,
                                             int lastRow) {
    auto mesh = std::make_unique<CRenderMesh>(pools, shadingMode);
    mesh->material = material;
    mesh->LoadSharedTriangles(std::move(vertices), corners, firstRow, lastRow);
    if (!mesh->HasTriangles()) {
        return nullptr;
    }
    return mesh;
}

bool MayReachRows(float a, float b, float c, int firstRow, int lastRow) {
    // A row past the last one or before the first is left out only when it is so by more than
    // a row, clear of the snapping to whole rows; anything not finite is the mesh's to judge.
    const float top = std::min({a, b, c});
    const float bottom = std::max({a, b, c});
    return !(bottom + 1.0f < float(firstRow) || top - 1.0f > float(lastRow));
}

void AdvanceLeafToRow(CRenderMesh& mesh, int row, int firstColumn, int lastColumn,
                      const CWantedColumns* wanted) {
    mesh.WalkRow(row, firstColumn, lastColumn, wanted);
}

}  // namespace orva
