#pragma once

#include <memory>

#include "scene/poly_mesh.h"

namespace orva {

// A cabochon: a smooth dome over a flat base at z = 0, the base an ellipse of width 1 (x)
// and length `ratio` (y); the dome's profile is a quarter ellipse of height `dome`.
// `segments` corners round the base (a multiple of 4), `rings` rows up to the top.
struct CCabochonProportions {
    double ratio = 1.0;
    double dome = 0.35;
    int segments = 64;
    int rings = 16;
};
std::unique_ptr<CPolyMesh> MakeCabochon(const CCabochonProportions& proportions);

// A pearl: a sphere of diameter 1 about the origin, its equator a ring at z = 0.
// `segments` corners round each ring (a multiple of 4), `rings` rows from pole to pole (even).
struct CPearlProportions {
    int segments = 64;
    int rings = 32;
};
std::unique_ptr<CPolyMesh> MakePearl(const CPearlProportions& proportions);

}  // namespace orva
