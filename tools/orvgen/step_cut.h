#pragma once

#include <memory>
#include <vector>

#include "scene/poly_mesh.h"

namespace orva {

// Proportions of a step cut (emerald, baguette), lengths as fractions of the girdle width.
struct CStepProportions {
    double ratio = 1.4;      // girdle length (along y) over width (along x)
    double cornerCut = 0.0;  // the legs of the corners cut at 45 degrees; 0 for sharp corners
    double table = 0.65;     // table width
    // The angles of the rows of steps from the horizontal, in degrees, from the girdle up to
    // the table and from the girdle down to the keel. Every row takes an equal share of the
    // way in, the same on all sides, so a row has one angle all round.
    std::vector<double> crownAngles;
    std::vector<double> pavilionAngles;
};

// A step cut over a rectangle with cut corners: rows of trapezoid facets parallel to the
// girdle, a table on top and a keel line along y at the bottom (a point when the outline is
// square). Knife-edge girdle at z = 0, width 1 along x, length `ratio` along y.
std::unique_ptr<CPolyMesh> MakeStepCut(const CStepProportions& proportions);

}  // namespace orva
