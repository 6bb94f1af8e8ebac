#pragma once

#include <vector>

#include "geometry/vector3.h"

namespace orva {

class CCurve;
class CExtrusion;
class CSurface;

// The flat caps that close the open ends of surfaces and extrusions, described once for the
// shaded display and the software renderer: which ends get one, which way each faces and which
// way its outline runs. The display lights a cap from the side its normal names; the renderer
// counts the crossings of its triangles, which enter the solid or leave it by their winding,
// so there the outline's direction must agree with the surface's own cells.

// The boundaries of a surface's net where caps lie.
enum class ENetEdge { kFirstRow, kLastRow, kFirstColumn, kLastColumn };

// A line of points in an extended control net (rows * cols points, row after row): `count`
// points from index `first`, `stride` apart; `across` is the distance to the neighbouring
// points on either side of the line.
struct CNetLine {
    int first = 0;
    int stride = 1;
    int count = 0;
    int across = 0;
};

// Where an edge's boundary curve lies in an extended net of rows * cols points: on the second
// or second-to-last row or column, which with the phantom lines of pinned ends are the net's
// own first and last.
CNetLine EdgeLine(ENetEdge edge, int rows, int cols);

// A flat cap over one open end of a surface, its outline the surface's boundary curve there.
struct CSurfaceEndCap {
    ENetEdge edge = ENetEdge::kFirstRow;
    // The boundary runs round the closed direction: the cap closes the end of a tube. Otherwise
    // the boundary is an open curve, closed by its chord.
    bool loop = false;
    int stepsAlong = 0;   // steps per span of the direction the boundary runs in
    int stepsAcross = 0;  // and of the other direction
    // The outline is taken against the line's order. Taken so, it turns counter-clockwise
    // about the side of the solid (outside or inside) that cross(Du, Dv) faces, as every cell
    // of the surface's grid does: cells and caps wind the same way round the solid.
    bool reversed = false;
    // The side the cap faces: +1 the side about which its outline, as taken, turns
    // counter-clockwise (the direction of the sum of p[i] x p[i + 1]); -1 the other.
    int facing = 1;

    // The same side for the outline taken in the line's order.
    int FacingAlongLine() const { return reversed ? -facing : facing; }
};

// A cap at both ends of every open direction of the surface: first those of the rows (when u
// is open), then those of the columns (when v is open). A surface closed both ways has none.
// Every cap faces the side the surface's normals face: cross(Du, Dv) for a positive
// orientation, the other way for a negative one; with orientation 0 every cap faces along the
// outline in the line's order.
std::vector<CSurfaceEndCap> SurfaceEndCaps(const CSurface& surface);

// One end of an extrusion: a single flat cap over the outlines that every profile has there,
// the first profile's the border and the others holes or islands.
struct CExtrusionEndCap {
    std::vector<const CCurve*> outlines;  // from the extrusion's curves list
    // The side the cap faces, a unit axis vector in the extrusion's own frame (before its
    // placement). The heights of an extrusion grow along its axis (against it for the y axis):
    // the first end faces against that growth, the second along it.
    CVector3 outward;
    // The outlines are taken backwards: the two ends then turn opposite ways round the solid,
    // as the walls do where they meet them.
    bool reversed = false;
};

// The first end (where the profiles lie, closed by every first outline of a pair in the
// curves list) and the second (every second outline); none when the extrusion axis is not a
// coordinate axis or the curves list holds no pair.
std::vector<CExtrusionEndCap> ExtrusionEndCaps(const CExtrusion& extrusion);

}  // namespace orva
