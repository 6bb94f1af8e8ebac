#pragma once

#include "geometry/matrix4.h"
#include "view/frame_context.h"

namespace orva {

// The one way the wireframe draws lines, in the frame's colour (inside an OpenGL frame only).
// The frame holds one polyline, so polylines never nest: a marker drawn while a polyline is
// open would end it.
void BeginPolyline(CFrameContext& frame, EPolylineMode mode);
// A model-space point: the next vertex of the line, or a marker at its window position.
void AddVertex(CFrameContext& frame, const CVector3& v);
void EndPolyline(CFrameContext& frame);

// A closed rectangle given in window pixels, drawn in the plane of eye depth 0 so that it
// keeps its pixel size at any zoom.
void DrawMarker(CFrameContext& frame, int x0, int y0, int x1, int y1);

// The model point drawn for window pixel (x, y) at eye depth 0, given the inverse of the window
// matrix: how markers and labels place their strokes.
CVector3 WindowPixelToModel(int x, int y, const CMatrix4& windowToModel);

}  // namespace orva
