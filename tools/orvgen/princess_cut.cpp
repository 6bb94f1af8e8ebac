#include "princess_cut.h"

#include <cmath>
#include <cstddef>

#include "gem_mesh_builder.h"

namespace orva {

namespace {

constexpr double kDegree = 3.14159265358979323846 / 180.0;

// A corner of the unit square's pavilion on the diagonal x = y, and a side point on the
// x axis, both as (horizontal distance, height).
struct CChevronRow {
    double corner = 0.0, cornerZ = 0.0;
    double side = 0.0, sideZ = 0.0;
};

// The ring of a row, by symmetry: corner (+, -), side (+x), corner (+, +), side (+y), ... so
// that every other corner is a square's corner, counter-clockwise seen from above.
std::vector<CGemPoint> ChevronRing(const CChevronRow& row, double ratio) {
    std::vector<CGemPoint> ring;
    for (int quarter = 0; quarter < 4; ++quarter) {
        const double angle = quarter * 90.0 * kDegree;
        const double cs = std::round(std::cos(angle)), sn = std::round(std::sin(angle));
        // Turned by a quarter: (x, y) -> (cs x - sn y, sn x + cs y).
        const auto turned = [&](double x, double y, double z) {
            return CGemPoint{cs * x - sn * y, (sn * x + cs * y) * ratio, z};
        };
        ring.push_back(turned(row.corner, -row.corner, row.cornerZ));
        ring.push_back(turned(row.side, 0.0, row.sideZ));
    }
    return ring;
}

// The rows of chevrons: the side points follow the pavilion angles in equal steps inwards;
// each corner is put on the plane of the facet above it (through the corner and side point
// of the row above and its own row's side point), which keeps that facet flat.
std::vector<CChevronRow> ChevronRows(const CPrincessProportions& p) {
    const std::size_t n = p.pavilionAngles.size();
    std::vector<CChevronRow> rows{{0.5, 0.0, 0.5, 0.0}};
    for (std::size_t k = 1; k < n; ++k) {
        const CChevronRow& above = rows.back();
        CChevronRow row;
        row.side = 0.5 * (1.0 - static_cast<double>(k) / static_cast<double>(n));
        row.sideZ = above.sideZ - 0.5 / n * std::tan(p.pavilionAngles[k - 1] * kDegree);
        row.corner = 0.5 * (1.0 - (static_cast<double>(k) - p.chevronOffset) / n);
        const CGemPoint a{above.corner, above.corner, above.cornerZ};
        const CGemPoint b{above.side, 0.0, above.sideZ};
        const CGemPoint c{row.side, 0.0, row.sideZ};
        const CGemPoint normal = Cross(b - a, c - a);
        row.cornerZ =
            a.z - (normal.x * (row.corner - a.x) + normal.y * (row.corner - a.y)) / normal.z;
        rows.push_back(row);
    }
    return rows;
}

double PavilionDepth(const CPrincessProportions& p, const CChevronRow& last) {
    return -last.sideZ +
           0.5 / p.pavilionAngles.size() * std::tan(p.pavilionAngles.back() * kDegree);
}

// The crown: squares moving in by equal steps up to the table. The first row's facets each
// span a whole side of the girdle, past the girdle corner at the side's middle.
void AddSteppedCrown(CGemMeshBuilder& mesh, const CPrincessProportions& p,
                     const CGemMeshBuilder::CRing& girdle) {
    CGemMeshBuilder::CRing below = girdle;
    const double steps = static_cast<double>(p.crownAngles.size());
    double z = 0.0;
    for (std::size_t k = 0; k < p.crownAngles.size(); ++k) {
        z += 0.5 * (1.0 - p.table) / steps * std::tan(p.crownAngles[k] * kDegree);
        const double half = 0.5 - 0.5 * (1.0 - p.table) * static_cast<double>(k + 1) / steps;
        const double length = half * p.ratio;
        const auto square = mesh.AddRing(
            {{half, -length, z}, {half, length, z}, {-half, length, z}, {-half, -length, z}});
        mesh.AddBand(below, square);
        below = square;
    }
    mesh.AddCap(below, true);
}

// The pavilion: the rows of chevrons down to the pointed culet.
void AddChevronPavilion(CGemMeshBuilder& mesh, const CPrincessProportions& p,
                        const std::vector<CChevronRow>& rows,
                        const CGemMeshBuilder::CRing& girdle) {
    CGemMeshBuilder::CRing above = girdle;
    for (std::size_t k = 1; k < rows.size(); ++k) {
        const auto ring = mesh.AddRing(ChevronRing(rows[k], p.ratio));
        mesh.AddBand(ring, above);
        above = ring;
    }
    const CGemPoint culet{0.0, 0.0, -PavilionDepth(p, rows.back())};
    mesh.AddBand(mesh.AddRing(std::vector<CGemPoint>(8, culet)), above);
}

}  // namespace

std::unique_ptr<CPolyMesh> MakePrincessCut(const CPrincessProportions& p) {
    CGemMeshBuilder mesh;
    const std::vector<CChevronRow> rows = ChevronRows(p);
    const auto girdle = mesh.AddRing(ChevronRing(rows.front(), p.ratio));
    AddSteppedCrown(mesh, p, girdle);
    AddChevronPavilion(mesh, p, rows, girdle);
    return mesh.TakeMesh(true);
}

}  // namespace orva
