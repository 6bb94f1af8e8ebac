#pragma once

#include <memory>
#include <vector>

#include "scene/poly_mesh.h"

namespace orva {

// Proportions of a princess cut, lengths as fractions of the girdle width.
struct CPrincessProportions {
    double ratio = 1.0;  // length over width; a longer princess is the square one stretched
    double table = 0.70;
    // Angles in degrees: the crown's rows of steps from the girdle to the table, and the
    // pavilion's rows of chevrons from the girdle to the culet, measured on the lines from
    // the middles of the sides to the culet.
    std::vector<double> crownAngles;
    std::vector<double> pavilionAngles;
    // How far, in rows, the chevrons' corners on the diagonals trail their points on the side
    // middles; it is what draws the chevrons.
    double chevronOffset = 0.5;
};

// A square cut with sharp corners: a stepped crown round a square table, and a pavilion of
// chevrons, each row two flat facets per side meeting on the side's middle line, between
// pavilion mains running from the corners to a pointed culet. Knife-edge girdle at z = 0.
std::unique_ptr<CPolyMesh> MakePrincessCut(const CPrincessProportions& proportions);

}  // namespace orva
