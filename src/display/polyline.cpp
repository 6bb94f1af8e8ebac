#include "display/polyline.h"

#include <GL/gl.h>

#include <cmath>

#include "geometry/matrix4.h"
#include "view/frame_context.h"

namespace orva {

namespace {

// Half the side of a marker square, in pixels: markers are 5 x 5.
constexpr int kMarkerReach = 2;

int NearestPixel(float v) {
    return static_cast<int>(std::floor(v + 0.5f));
}

// Lines that start or end exactly on pixel centres leave it to the rasterizer whether those
// pixels are lit (llvmpipe drops some corners of a square drawn that way). An eighth of a pixel
// off the centre, every rasterizer that follows OpenGL's diamond rule lights the first pixel of
// each stroke and not its last, so closed squares come out whole.
constexpr float kPixelNudge = 0.125f;

}  // namespace

CVector3 WindowPixelToModel(int x, int y, const CMatrix4& windowToModel) {
    return TransformPoint(CVector3(float(x) + kPixelNudge, float(y) + kPixelNudge, 0.0f),
                          windowToModel);
}

void BeginPolyline(CFrameContext& frame, EPolylineMode mode) {
    frame.polyline.mode = mode;
    frame.polyline.count = 0;
    if (mode == kPolylineOpen || mode == kPolylineClosed) {
        glBegin(GL_LINE_STRIP);
    }
}

void AddVertex(CFrameContext& frame, const CVector3& v) {
    CPolylineState& line = frame.polyline;
    if (line.mode == kPolylineMarkers) {
        const CVector3 p = TransformPoint(v, frame.WindowMatrix());
        const int px = NearestPixel(p.x);
        const int py = NearestPixel(p.y);
        DrawMarker(frame, px - kMarkerReach, py - kMarkerReach, px + kMarkerReach,
                   py + kMarkerReach);
        // The square was a polyline of its own; the caller's marker run goes on.
        line.mode = kPolylineMarkers;
        return;
    }
    if (line.mode == kPolylineClosed && line.count == 0) {
        line.firstVertex = v;
    }
    glVertex3fv(&v.x);
    ++line.count;
}

void EndPolyline(CFrameContext& frame) {
    const CPolylineState& line = frame.polyline;
    if (line.mode != kPolylineOpen && line.mode != kPolylineClosed) {
        return;
    }
    // An empty loop has no first vertex to return to; closing it would repeat a stale one.
    if (line.mode == kPolylineClosed && line.count > 0) {
        glVertex3fv(&line.firstVertex.x);
    }
    glEnd();
}

void DrawMarker(CFrameContext& frame, int x0, int y0, int x1, int y1) {
    const CMatrix4 toModel = frame.WindowMatrixInverse();
    const int corners[4][2] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
    BeginPolyline(frame, kPolylineClosed);
    for (const auto& c : corners) {
        AddVertex(frame, WindowPixelToModel(c[0], c[1], toModel));
    }
    EndPolyline(frame);
}

}  // namespace orva
