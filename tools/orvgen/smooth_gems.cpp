#include "smooth_gems.h"

#include <cmath>
#include <vector>

#include "gem_mesh_builder.h"

namespace orva {

namespace {

constexpr double kPi = 3.14159265358979323846;

// A ring of an ellipsoid of revolution stretched along y: `scale` of the equator's size at
// height z. Its corners sit at the same angles on every ring, so the facets between two rings
// are flat trapezoids. A scale of exactly zero gives the pole as one repeated corner.
std::vector<CGemPoint> Latitude(int segments, double ratio, double scale, double z) {
    std::vector<CGemPoint> ring;
    for (int k = 0; k < segments; ++k) {
        const double angle = 2.0 * kPi * k / segments;
        ring.push_back({0.5 * scale * std::cos(angle), 0.5 * ratio * scale * std::sin(angle), z});
    }
    return ring;
}

// cos and sin of a latitude, exact at the poles and the equator so that the pole collapses
// to a single vertex and the equator lies at z = 0.
void LatitudeCosSin(int row, int quarterRows, double& c, double& s) {
    if (row == 0) {
        c = 1.0, s = 0.0;
    } else if (std::abs(row) == quarterRows) {
        c = 0.0, s = row > 0 ? 1.0 : -1.0;
    } else {
        const double latitude = kPi / 2.0 * row / quarterRows;
        c = std::cos(latitude), s = std::sin(latitude);
    }
}

}  // namespace

std::unique_ptr<CPolyMesh> MakeCabochon(const CCabochonProportions& p) {
    CGemMeshBuilder mesh;
    const auto base = mesh.AddRing(Latitude(p.segments, p.ratio, 1.0, 0.0));
    mesh.AddCap(base, false);
    auto below = base;
    for (int row = 1; row <= p.rings; ++row) {
        double c = 0.0, s = 0.0;
        LatitudeCosSin(row, p.rings, c, s);
        const auto ring = mesh.AddRing(Latitude(p.segments, p.ratio, c, p.dome * s));
        mesh.AddBand(below, ring);
        below = ring;
    }
    return mesh.TakeMesh(false);
}

std::unique_ptr<CPolyMesh> MakePearl(const CPearlProportions& p) {
    CGemMeshBuilder mesh;
    const int quarter = p.rings / 2;
    auto below = mesh.AddRing(Latitude(p.segments, 1.0, 0.0, -0.5));
    for (int row = -quarter + 1; row <= quarter; ++row) {
        double c = 0.0, s = 0.0;
        LatitudeCosSin(row, quarter, c, s);
        const auto ring = mesh.AddRing(Latitude(p.segments, 1.0, c, 0.5 * s));
        mesh.AddBand(below, ring);
        below = ring;
    }
    return mesh.TakeMesh(false);
}

}  // namespace orva
