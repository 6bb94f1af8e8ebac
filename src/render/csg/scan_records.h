#pragma once

#include <cstdint>

#include "geometry/vector3.h"
#include "render/shading/shading.h"

namespace orva {

struct CRenderMaterial;

// One corner of a screen-space triangle. A triangle is three records chained top vertex first
// (smallest y), then the other two in their cyclic order; the third one's link leads to the
// next triangle of the mesh.
struct CScanVertex {
    CScanVertex* link = nullptr;
    float x = 0.0f;  // window column
    float y = 0.0f;  // window row, growing downwards
    float z = 0.0f;  // eye depth: larger is nearer
    CVector3 point;  // in object space, for the map projections
    CVector3 normal;
    CVector3 tangentU;  // surface derivatives, for bump mapping
    CVector3 tangentV;
    float u = 0.0f;
    float v = 0.0f;
};

// A vertex's window position, as the walk keeps it (its rows change as the walk passes them).
struct CScanPoint {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

// Value at an origin and increment per step of everything a surface carries along an edge (per
// row) or a span (per column). Only what the shading mode and the material need is set up;
// the rest stays zero. Values elsewhere are evaluated from the origin, never accumulated step
// by step, so a row or column has the same values however far the walk started from it: a
// repainted part then equals the same part of a whole picture, and the bands of several
// threads fit together exactly.
struct CInterpolation {
    CVector3 colour;  // per-vertex shading only
    CVector3 colourStep;
    float u = 0.0f;
    float v = 0.0f;
    float uStep = 0.0f;
    float vStep = 0.0f;
    CVector3 point;
    CVector3 pointStep;
    CVector3 normal;
    CVector3 normalStep;
    CVector3 tangentU;
    CVector3 tangentUStep;
    CVector3 tangentV;
    CVector3 tangentVStep;
    const CRenderMaterial* material = nullptr;
};

struct CRenderPools;

// An edge's values at its upper vertex with their steps per row. Set up only once a span of the
// edge is shaded: most edges lie behind others or outside the pixels sampled.
struct CEdge {
    CInterpolation values;
};

// One side of an active triangle, followed from row to row: what every row needs of it. Kept
// small, because the mesh steps every active edge on every row.
struct CEdgeWalk {
    float originY = 0.0f;  // the row (not always whole) where x and depth hold
    float x = 0.0f;
    float dx = 0.0f;  // per row
    float depth = 0.0f;
    float depthStep = 0.0f;
    float inv = 0.0f;                // 1 / (q.y - p.y): what the values are stepped by
    const CScanVertex* p = nullptr;  // the upper vertex
    const CScanVertex* q = nullptr;  // the lower one; null for an edge within one row
    CEdge* values = nullptr;         // once set up
};

// What the spans of one mesh share: where their records come from and what they show.
struct CSpanSource {
    CRenderPools* pools = nullptr;
    // The mesh the triangles belong to: where neighbouring pixels see different ones, an
    // anti-aliased picture takes its samples one by one.
    const void* surface = nullptr;
    const CRenderMaterial* material = nullptr;
    EShading shadingMode = EShading::kPerPixel;  // of the edges' values
};

// What a span carries for shading: its values at originX, with their steps per column.
struct CSpan {
    const void* surface = nullptr;
    float originX = 0.0f;
    CInterpolation values;  // the material is always set
};

// One triangle's crossing of the current row, walked from column to column. The values are
// set up (into `shaded`) only once a fragment of the span is shaded.
struct CRowSpan {
    CEdgeWalk* left = nullptr;
    CEdgeWalk* right = nullptr;
    const CSpanSource* source = nullptr;
    CSpan* shaded = nullptr;
    int firstColumn = 0;
    int endColumn = 0;  // first column after the span
    int row = 0;
    float originX = 0.0f;  // the left edge's column on this row
    float originDepth = 0.0f;
    float depthStep = 0.0f;
    int16_t orientation = 0;  // +1 or -1: which side of the solid the triangle faces
};

// Where the eye ray of one pixel crosses one span. Lists are sorted front (largest depth)
// first. A mesh's fragments name their row span; `span`, when set, holds the values instead.
struct CFragment {
    CFragment* link = nullptr;
    CSpan* span = nullptr;
    CRowSpan* rowSpan = nullptr;
    int16_t orientation = 0;
    float depth = 0.0f;
};

// The values `t` steps from the origin, for what the mode and the record's material select.
CInterpolation InterpolatedAt(const CInterpolation& values, float t, EShading shadingMode);

// What the surface carries where a fragment lies: its span's values at `column` (set up on
// first use).
CInterpolation FragmentValues(const CFragment& fragment, int column, EShading shadingMode);

// The interpolated normal alone, as FragmentValues gives it in the per-pixel mode.
CVector3 FragmentNormal(const CFragment& fragment, int column);

// The material and the surface a fragment shows, without setting its values up.
inline const CRenderMaterial* FragmentMaterial(const CFragment& fragment) {
    return fragment.span != nullptr ? fragment.span->values.material
                                    : fragment.rowSpan->source->material;
}
inline const void* FragmentSurface(const CFragment& fragment) {
    return fragment.span != nullptr ? fragment.span->surface : fragment.rowSpan->source->surface;
}

// Sets `values` up between a's values at ta steps and b's at tb steps, which lie `1 / inv`
// steps apart: each attribute the mode and the material select gets its ends x = value +
// step * t from a and b, then step = (xb - xa) * inv and value = xa + step * 0. With b = a,
// tb = ta and inv = 0 it holds a's values at ta.
void InterpolateAcross(CInterpolation& values, const CInterpolation& a, float ta,
                       const CInterpolation& b, float tb, float inv, EShading shadingMode);

// Sets `values` up from vertex p to vertex q, which lie `1 / inv` steps apart: each selected
// attribute (the lit colour in the per-vertex mode) gets step = (q - p) * inv and value =
// p + step * 0. With q = p and inv = 0 it holds p's values.
void InterpolateVertices(CInterpolation& values, const CScanVertex& p, const CScanVertex& q,
                         float inv, EShading shadingMode);

}  // namespace orva
