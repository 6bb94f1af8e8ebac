#include "mesh/solid_level_set.h"

#include <openvdb/tools/Composite.h>
#include <openvdb/tools/SignedFloodFill.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <mutex>
#include <vector>

#include "measure/axis_rays.h"
#include "platform/interrupt.h"
#include "render/csg/scan_records.h"

namespace orva {

namespace {

// Off the box by whole nodes and this fraction of one: planes at round coordinates (the flat
// sides of a band at y = 0) would otherwise hold nodes, whose sign is then a toss-up.
constexpr double kOriginFraction = 0.3719;
constexpr int kMarginNodes = 2;
// Nodes along one axis at most, at the spacing asked for and at the estimate's coarser one: a
// box that needs more is refused before any ray is cast.
constexpr int kMostNodes = 1 << 16;

float Component(const CVector3& v, int axis) {
    return axis == 0 ? v.x : (axis == 1 ? v.y : v.z);
}

// The lattice: node (i, j, k) lies at origin + (i, j, k) * spacing.
struct CLattice {
    double origin[3];
    int count[3];
    double spacing;
};

// Nodes along one axis, computed in double so that a huge box at a fine spacing cannot
// overflow.
double NodesAlong(const CLevelSetRequest& r, int axis, double spacing) {
    const double lo = Component(r.min, axis) - (kMarginNodes + kOriginFraction) * spacing;
    return std::ceil((Component(r.max, axis) - lo) / spacing) + kMarginNodes + 1;
}

CLattice LatticeOf(const CLevelSetRequest& r, double spacing) {
    CLattice l;
    l.spacing = spacing;
    for (int a = 0; a < 3; ++a) {
        l.origin[a] = Component(r.min, a) - (kMarginNodes + kOriginFraction) * spacing;
        l.count[a] = static_cast<int>(std::min(NodesAlong(r, a, spacing), double(kMostNodes)));
    }
    return l;
}

// The rays of one direction on the lattice's node lines: pixel (column, row) is the node line
// through the nodes whose indices across the line `NodeAt` gives.
struct CNodeRays {
    CAxisRayGrid rays;
    CAxisView axes;
};

CNodeRays NodeRays(const CLattice& l, int direction) {
    CNodeRays n;
    n.axes = AxisView(direction);
    const CAxisView& a = n.axes;
    const double h = l.spacing;
    const int nc = l.count[a.columnAxis];
    const int nr = l.count[a.rowAxis];
    // Eye x of column 0 and eye y of row 0: the eye coordinates of the first and last nodes.
    const double oc = l.origin[a.columnAxis];
    const double orow = l.origin[a.rowAxis];
    const double left = a.columnSign > 0 ? oc : -(oc + (nc - 1) * h);
    const double top = a.rowSign > 0 ? orow + (nr - 1) * h : -orow;
    CMatrix4 w = CMatrix4::Identity();
    w[0] = static_cast<float>(1.0 / h);
    w[5] = static_cast<float>(-1.0 / h);
    w[12] = static_cast<float>(-left / h);
    w[13] = static_cast<float>(top / h);
    n.rays.view = a.view;
    n.rays.windowMatrix = Multiply(a.view, w);
    n.rays.columns = nc;
    n.rays.rows = nr;
    n.rays.depthAxis = a.depthAxis;
    n.rays.depthSign = a.depthSign;
    return n;
}

openvdb::Coord NodeOf(const CNodeRays& n, const CLattice& l, int column, int row, int along) {
    int ijk[3];
    ijk[n.axes.columnAxis] =
        n.axes.columnSign > 0 ? column : l.count[n.axes.columnAxis] - 1 - column;
    ijk[n.axes.rowAxis] = n.axes.rowSign > 0 ? l.count[n.axes.rowAxis] - 1 - row : row;
    ijk[n.axes.depthAxis] = along;
    return openvdb::Coord(ijk[0], ijk[1], ijk[2]);
}

// The part of a crossing's (eye-space) normal along the ray; a normal the surface does not
// give counts as facing the ray, so the distance is the one along it.
float AlongRay(const CVector3& normal) {
    const float length = Length(normal);
    const float along = length > 0.0f ? std::fabs(normal.z) / length : 1.0f;
    return std::isfinite(along) ? std::clamp(along, 0.0f, 1.0f) : 1.0f;
}

struct CInterval {
    double lo;
    double hi;
    float normalLo;  // |normal component along the ray| at each end
    float normalHi;
};

// The solid's intervals along one ray, in model coordinates along its axis, lowest first.
std::vector<CInterval> IntervalsOf(const CFragment* list, int column, float depthSign) {
    std::vector<CInterval> out;
    for (const CFragment* f = list; f != nullptr && f->link != nullptr; f = f->link->link) {
        const CFragment& exit = *f->link;
        if (!(f->depth - exit.depth > 0.0f)) {
            continue;
        }
        const double a = f->depth * depthSign;
        const double b = exit.depth * depthSign;
        const float na = AlongRay(FragmentNormal(*f, column));
        const float nb = AlongRay(FragmentNormal(exit, column));
        out.push_back(a < b ? CInterval{a, b, na, nb} : CInterval{b, a, nb, na});
    }
    std::sort(out.begin(), out.end(),
              [](const CInterval& x, const CInterval& y) { return x.lo < y.lo; });
    return out;
}

bool Inside(const std::vector<CInterval>& intervals, double z) {
    for (const CInterval& i : intervals) {
        if (z > i.lo && z < i.hi) {
            return true;
        }
    }
    return false;
}

// What one worker writes: the smallest distance each node was given, and the votes of the
// rays that wrote it (+1 inside, -1 outside).
struct CWorkerGrids {
    openvdb::FloatGrid::Ptr distance = openvdb::FloatGrid::create(1e30f);
    openvdb::FloatGrid::Ptr votes = openvdb::FloatGrid::create(0.0f);
};

// A worker's way into its grids: the smallest distance kept, the vote added.
struct CNodeWriter {
    openvdb::FloatGrid::Accessor distance;
    openvdb::FloatGrid::Accessor votes;

    explicit CNodeWriter(CWorkerGrids& g)
        : distance(g.distance->getAccessor()), votes(g.votes->getAccessor()) {}

    void Write(const openvdb::Coord& node, float value, bool inside) {
        float known = 0.0f;
        if (!distance.probeValue(node, known) || value < known) {
            distance.setValue(node, value);
        }
        votes.setValue(node, votes.getValue(node) + (inside ? 1.0f : -1.0f));
    }
};

// Writes the nodes on either side of the crossing at `z` along one ray.
void WriteCrossing(CNodeWriter& writer, const CLattice& l, const CNodeRays& n, int column, int row,
                   double z, float normal, const std::vector<CInterval>& intervals) {
    const int axis = n.axes.depthAxis;
    const double h = l.spacing;
    const double t = (z - l.origin[axis]) / h;
    const int below = static_cast<int>(std::floor(t));
    for (const int k : {below, below + 1}) {
        if (k < 0 || k >= l.count[axis]) {
            continue;
        }
        const double nodeZ = l.origin[axis] + k * h;
        const auto value = static_cast<float>(std::fabs(nodeZ - z) * normal);
        writer.Write(NodeOf(n, l, column, row, k), value, Inside(intervals, nodeZ));
    }
}

// Casts the lattice's rays through the solid, calling `crossing` for every ray that meets it.
template <class Crossings>
bool CastNodeRays(const CLevelSetRequest& r, const CLattice& l, const Crossings& crossings) {
    CNodeRays node[3] = {NodeRays(l, 0), NodeRays(l, 1), NodeRays(l, 2)};
    const CAxisRayGrid grids[3] = {node[0].rays, node[1].rays, node[2].rays};
    CAxisRayWalk walk;
    walk.first = r.first;
    walk.stop = r.stop;
    walk.plan = r.plan;
    walk.materials = r.materials;
    walk.threads = r.threads;
    walk.interrupt = r.interrupt;
    walk.tessellation = r.tessellation;
    walk.shading = EShading::kPerPixel;
    return WalkAxisRays(
        walk, grids,
        [&](CAxisRayRow& row) {
            const CNodeRays& n = node[row.direction];
            row.ForEachRay([&](int column, const CFragment* list) {
                crossings(row.worker, n, column, row.row,
                          IntervalsOf(list, column, n.rays.depthSign));
            });
        },
        r.rowsDone);
}

// Active bytes of a sparse float grid per active voxel, two grids per worker and the result:
// leaves of 8^3 voxels are about a quarter full along a surface.
constexpr int64_t kBytesPerNode = 4 * 4 * 4;

}  // namespace

int LevelSetRows(const CLevelSetRequest& request) {
    const CLattice l = LatticeOf(request, request.spacing);
    return NodeRays(l, 0).rays.rows + NodeRays(l, 1).rays.rows + NodeRays(l, 2).rays.rows;
}

int64_t EstimateLevelSetBytes(const CLevelSetRequest& request) {
    constexpr int kCoarser = 8;
    // A box of more nodes than a lattice takes along some axis: its faces alone, were they
    // metal, would take this much.
    double nodes[3];
    for (int a = 0; a < 3; ++a) {
        nodes[a] = NodesAlong(request, a, request.spacing);
    }
    if (std::max({nodes[0], nodes[1], nodes[2]}) > kMostNodes) {
        const double faces =
            4.0 * (nodes[0] * nodes[1] + nodes[1] * nodes[2] + nodes[0] * nodes[2]);
        return static_cast<int64_t>(std::min(faces * kBytesPerNode, 9e18));
    }
    CLevelSetRequest coarse = request;
    coarse.rowsDone = nullptr;
    const CLattice l = LatticeOf(request, request.spacing * kCoarser);
    std::atomic<int64_t> crossings{0};
    CastNodeRays(coarse, l,
                 [&](int, const CNodeRays&, int, int, const std::vector<CInterval>& intervals) {
                     crossings += 2 * static_cast<int64_t>(intervals.size());
                 });
    // Each crossing writes two nodes; the finer lattice has kCoarser^2 times the rays.
    return crossings.load() * kCoarser * kCoarser * 2 * kBytesPerNode;
}

openvdb::FloatGrid::Ptr BuildSolidLevelSet(const CLevelSetRequest& r) {
    openvdb::initialize();
    const CLattice l = LatticeOf(r, r.spacing);
    const int workers = std::clamp(r.threads, 1, 64);
    std::vector<CWorkerGrids> grids(static_cast<std::size_t>(workers));
    std::vector<std::unique_ptr<CNodeWriter>> writers;
    for (CWorkerGrids& g : grids) {
        writers.push_back(std::make_unique<CNodeWriter>(g));
    }
    const bool done =
        CastNodeRays(r, l,
                     [&](int worker, const CNodeRays& n, int column, int row,
                         const std::vector<CInterval>& intervals) {
                         CNodeWriter& w = *writers[static_cast<std::size_t>(worker)];
                         for (const CInterval& i : intervals) {
                             WriteCrossing(w, l, n, column, row, i.lo, i.normalLo, intervals);
                             WriteCrossing(w, l, n, column, row, i.hi, i.normalHi, intervals);
                         }
                     });
    writers.clear();  // the accessors' caches let go before the grids are combined
    if (!done) {
        return nullptr;
    }
    for (std::size_t w = 1; w < grids.size(); ++w) {
        openvdb::tools::compMin(*grids[0].distance, *grids[w].distance);
        openvdb::tools::compSum(*grids[0].votes, *grids[w].votes);
    }
    const auto h = static_cast<float>(r.spacing);
    auto field = openvdb::FloatGrid::create(3.0f * h);
    field->setGridClass(openvdb::GRID_LEVEL_SET);
    auto transform = openvdb::math::Transform::createLinearTransform(r.spacing);
    transform->postTranslate(openvdb::Vec3d(l.origin[0], l.origin[1], l.origin[2]));
    field->setTransform(transform);
    auto out = field->getAccessor();
    auto vote = grids[0].votes->getConstAccessor();
    for (auto v = grids[0].distance->cbeginValueOn(); v; ++v) {
        const float d = std::min(*v, 2.0f * h);
        out.setValue(v.getCoord(), vote.getValue(v.getCoord()) > 0.0f ? -d : d);
    }
    openvdb::tools::signedFloodFill(field->tree());
    return field;
}

}  // namespace orva
