#pragma once

#include <cstdint>
#include <span>

#include "geometry/vector3.h"
#include "scene/display_mode.h"

namespace orva {

class CFrameContext;

class CCurve;
class CSurface;
class CPolyMesh;

// What curves, surfaces and polygon meshes draw in the wireframe display modes (and curves in
// the shaded mode), as lines in the frame's colour. Inside an OpenGL frame only.
void DrawCurveWireframe(CFrameContext& frame, const CCurve& curve, EDisplayMode mode);
void DrawSurfaceWireframe(CFrameContext& frame, const CSurface& surface, EDisplayMode mode);
void DrawPolyMeshWireframe(CFrameContext& frame, const CPolyMesh& mesh, EDisplayMode mode);

// An open polyline through the samples of an extended control polygon.
void DrawCurvePolyline(CFrameContext& frame, std::span<const CVector3> extended, int steps);
// A marker square at every point.
void DrawPointMarkers(CFrameContext& frame, std::span<const CVector3> points);
// Markers in the highlight colour at the selected points; the drawing colour is kept.
void DrawHighlightedPoints(CFrameContext& frame, std::span<const CVector3> points,
                           std::span<const int32_t> selection);

// (a + 4 b + c) / 6: where a uniform cubic B-spline passes near b.
CVector3 SplineAverage(const CVector3& a, const CVector3& b, const CVector3& c);

}  // namespace orva
