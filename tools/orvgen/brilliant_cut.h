#pragma once

#include <memory>
#include <vector>

#include "gem_point.h"
#include "scene/poly_mesh.h"

namespace orva {

// Proportions of a brilliant-style cut, as fractions of the girdle width.
struct CBrilliantProportions {
    // The table's corners lie this fraction of the way from the table's middle to the girdle
    // corners of the mains, so the table is this wide across its corners.
    double table = 0.53;
    double crownHeight = 0.162;    // table above the girdle
    double pavilionDepth = 0.431;  // culet below the girdle
    // How far the star facets reach from the table's edge towards the girdle, and the lower
    // girdle facets from the girdle towards the culet, each as a fraction of that distance.
    double starLength = 0.5;
    double lowerHalfLength = 0.75;
};

// A brilliant over a girdle outline of 2n corners (see gem_girdles.h): a table, n stars,
// n crown mains (kites), 2n upper girdle facets, n pavilion mains and 2n lower girdle facets
// meeting in a pointed culet, with a knife-edge girdle at z = 0. With n = 8 on a round girdle
// these are the 57 facets of the round brilliant. Table and culet are centred on the area
// centroid of the outline.
std::unique_ptr<CPolyMesh> MakeBrilliantCut(const std::vector<CGemPoint>& girdle,
                                            const CBrilliantProportions& proportions);

}  // namespace orva
