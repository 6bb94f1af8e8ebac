#pragma once

#include <cstdint>

#include "geometry/vector3.h"
#include "render/shading.h"

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

// One side of a triangle, followed from row to row.
struct CEdge {
    CEdge* link = nullptr;  // next of the mesh's active edges: a triangle's two are adjacent
    float originY = 0.0f;   // the row (not always whole) where x, depth and values hold
    float x = 0.0f;
    float dx = 0.0f;  // per row
    float depth = 0.0f;
    float depthStep = 0.0f;
    CInterpolation values;
    const CRenderMaterial* material = nullptr;
};

// One triangle's crossing of the current row, walked from column to column.
struct CSpan {
    CSpan* link = nullptr;
    CEdge* firstEdge = nullptr;  // the left one once the span is set up
    CEdge* secondEdge = nullptr;
    // The mesh the triangle belongs to: where neighbouring pixels see different ones, an
    // anti-aliased picture takes its samples one by one.
    const void* surface = nullptr;
    int16_t orientation = 0;  // +1 or -1: which side of the solid the triangle faces
    int firstColumn = 0;
    int endColumn = 0;     // first column after the span
    float originX = 0.0f;  // the left edge's column on this row: where values hold
    float originDepth = 0.0f;
    float depth = 0.0f;  // at the current column
    float depthStep = 0.0f;
    // At originX, with their steps per column. Set up only once a fragment of the span is
    // shaded (most spans lie behind others or outside the pixels sampled); until then
    // `valuesRow` keeps the row they are for. The material is always set.
    CInterpolation values;
    int valuesRow = 0;
    bool valuesPending = false;
};

// Where the eye ray of one pixel crosses one span. Lists are sorted front (largest depth)
// first.
struct CFragment {
    CFragment* link = nullptr;
    CSpan* span = nullptr;
    int16_t orientation = 0;
    float depth = 0.0f;
};

// The values `t` steps from the origin, for what the mode and the record's material select.
CInterpolation InterpolatedAt(const CInterpolation& values, float t, EShading shadingMode);

// What the surface carries where a fragment lies: its span's values at `column` (set up on
// first use).
CInterpolation FragmentValues(const CFragment& fragment, int column, EShading shadingMode);

// Sets `values` up between two interpolated ends a and b, which lie `1 / inv` steps apart:
// each selected attribute gets step = (b - a) * inv and value = a + step * f.
void InterpolateBetween(CInterpolation& values, const CInterpolation& a, const CInterpolation& b,
                        float inv, float f, EShading shadingMode);

// Holds a's values unchanged: every selected step becomes zero.
void HoldValues(CInterpolation& values, const CInterpolation& a, EShading shadingMode);

}  // namespace orva
