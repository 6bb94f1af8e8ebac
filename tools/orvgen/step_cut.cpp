#include "step_cut.h"

#include <cmath>
#include <cstddef>

#include "gem_mesh_builder.h"

namespace orva {

namespace {

constexpr double kDegree = 3.14159265358979323846 / 180.0;

// The outline moved in by `inset` on every side, at height z: an octagon whose corners are
// cut at 45 degrees. The cut shrinks with the width, so that it is gone where the sides meet
// in the keel; edges stay parallel to the girdle's, which keeps every step facet flat.
std::vector<CGemPoint> StepRing(const CStepProportions& p, double inset, double z) {
    const double a = 0.5 - inset;
    const double b = 0.5 * p.ratio - inset;
    const double c = p.cornerCut * a / 0.5;
    return {{a, -b + c, z}, {a, b - c, z},   {a - c, b, z},   {-a + c, b, z},
            {-a, b - c, z}, {-a, -b + c, z}, {-a + c, -b, z}, {a - c, -b, z}};
}

// Rows of steps from the girdle inwards by `depth` in all: each row goes in by an equal
// share and rises (sign +1) or falls (-1) at its angle. Returns the rings, girdle first.
std::vector<CGemMeshBuilder::CRing> StepRows(CGemMeshBuilder& mesh, const CStepProportions& p,
                                             const CGemMeshBuilder::CRing& girdle,
                                             const std::vector<double>& angles, double depth,
                                             double sign) {
    std::vector<CGemMeshBuilder::CRing> rings{girdle};
    const double rows = static_cast<double>(angles.size());
    double z = 0.0;
    for (std::size_t k = 0; k < angles.size(); ++k) {
        z += sign * depth / rows * std::tan(angles[k] * kDegree);
        // depth * (k + 1) / rows rather than a running sum, so the last row lands exactly on
        // the keel and its corners merge.
        const double inset = depth * static_cast<double>(k + 1) / rows;
        rings.push_back(mesh.AddRing(StepRing(p, inset, z)));
    }
    return rings;
}

}  // namespace

std::unique_ptr<CPolyMesh> MakeStepCut(const CStepProportions& p) {
    CGemMeshBuilder mesh;
    const auto girdle = mesh.AddRing(StepRing(p, 0.0, 0.0));
    const auto crown = StepRows(mesh, p, girdle, p.crownAngles, 0.5 * (1.0 - p.table), 1.0);
    for (std::size_t k = 0; k + 1 < crown.size(); ++k) {
        mesh.AddBand(crown[k], crown[k + 1]);
    }
    mesh.AddCap(crown.back(), true);
    // The pavilion goes in by half the width: its last ring is the keel.
    const auto pavilion = StepRows(mesh, p, girdle, p.pavilionAngles, 0.5, -1.0);
    for (std::size_t k = 0; k + 1 < pavilion.size(); ++k) {
        mesh.AddBand(pavilion[k + 1], pavilion[k]);
    }
    return mesh.TakeMesh(true);
}

}  // namespace orva
