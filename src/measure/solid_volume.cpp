#include "measure/solid_volume.h"

#include "measure/axis_rays.h"
#include "measure/metal_ownership.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/interrupt.h"
#include "render/band_runner.h"
#include "render/band_tree.h"
#include "render/csg/csg_plan.h"
#include "render/csg/render_pools.h"
#include "render/csg/tree_walk.h"
#include "render/render_context.h"
#include "render/render_scene.h"
#include "render/row_loop.h"
#include "render/shading/material_table.h"
#include "render/tessellation/tessellation_store.h"
#include "scene/scene_object.h"
#include "view/viewport.h"

namespace orva {

namespace {

// Beyond this many cells along the scene's longest side the grid gets no finer: it bounds
// the time and memory a tiny accuracy could ask for.
constexpr int kMostCells = 8000;
// Cells along the longest side per unit of relative accuracy: a straight edge lying across
// the grid is off by at most half a cell, so a box filling the scene's extent is off by at
// most 2 / cells seen along one direction, and a part half as long by twice that; the mean of
// three directions and the grid's offset from most edges do better.
constexpr double kCellsPerAccuracy = 4.0;

struct CDirectionGrid {
    CAxisRayGrid rays;    // through the cells' centres
    double cellArea = 0;  // model units squared
    double cellSide = 0;  // the longer side of a cell
};

// The depths the metal spans along one direction's line of sight, as a worker found them.
struct CDepthRange {
    bool any = false;
    float nearest = 0.0f;
    float farthest = 0.0f;
};

// The three grids' rows one after another: the rows the band runner splits among threads.
// Each row's sum is kept apart, so that the totals add the rows in the same order however they
// were split (the result is then the same for any number of threads).
struct CGridRows {
    const CDirectionGrid (&grids)[3];
    int firstRow[4] = {0, 0, 0, 0};  // of each direction, and the end of the last
    std::vector<double> sums;
    std::vector<double> thinErrors;  // what the metal thinner than two cells may put out
    std::vector<std::array<CDepthRange, 3>> depths;  // per worker and direction
    std::atomic<int> rowsDone{0};

    CGridRows(const CDirectionGrid (&g)[3], int workers) : grids(g), depths(workers) {
        for (int d = 0; d < 3; ++d) {
            firstRow[d + 1] = firstRow[d] + grids[d].rays.rows;
        }
        sums.assign(static_cast<std::size_t>(firstRow[3]), 0.0);
        thinErrors = sums;
    }
};

// The model box of what is measured: the objects that may add metal. Stones and cutters add
// none beyond them.
bool MetalCandidatesBox(const CCsgPlan& plan, CVector3& min, CVector3& max) {
    ResetBounds(min, max);
    for (const CSceneObject* o : plan.metalObjects) {
        CVector3 lo;
        CVector3 hi;
        ResetBounds(lo, hi);
        o->GetBounds(lo, hi, CMatrix4::Identity());
        MergeBounds(min, max, lo, hi);
    }
    if (BoundsEmpty(min, max)) {
        return false;
    }
    // A damaged file may place points anywhere: keep to what a float grid can hold.
    for (float v : {min.x, min.y, min.z, max.x, max.y, max.z}) {
        if (!std::isfinite(v) || std::fabs(v) > 1e7f) {
            return false;
        }
    }
    return true;
}

float Component(const CVector3& v, int axis) {
    return axis == 0 ? v.x : (axis == 1 ? v.y : v.z);
}

void SetComponent(CVector3& v, int axis, float value) {
    (axis == 0 ? v.x : (axis == 1 ? v.y : v.z)) = value;
}

// The grid of one direction: cells of about `cell` model units covering the box as seen along
// it, with the window matrix that puts cell (column, row) at its centre. Each side is an exact
// number of cells, so that faces lying on the box (the flat sides of a band, the top of a
// plate), which the line of sight grazes, fall on cell edges: sampled off them by a fraction of
// a cell, such a face would count that fraction of a cell times its whole area too much or too
// little.
CDirectionGrid MakeGrid(int direction, const CVector3& min, const CVector3& max, double cell) {
    const CAxisView axes = AxisView(direction);
    CDirectionGrid g;
    g.rays.view = axes.view;
    g.rays.depthAxis = axes.depthAxis;
    g.rays.depthSign = axes.depthSign;
    const int eyeAxes[2] = {axes.columnAxis, axes.rowAxis};
    const float eyeSigns[2] = {axes.columnSign, axes.rowSign};
    double start[2];
    double size[2];
    int count[2];
    for (int k = 0; k < 2; ++k) {
        // Eye coordinate k is model axis eyeAxes[k] times its sign.
        const double lo = Component(min, eyeAxes[k]);
        const double hi = Component(max, eyeAxes[k]);
        const double e0 = eyeSigns[k] > 0 ? lo : -hi;
        const double extent = hi - lo;
        count[k] = std::clamp(static_cast<int>(std::ceil(extent / cell - 1e-9)), 1, kMostCells);
        size[k] = extent > 0.0 ? extent / count[k] : cell;
        start[k] = extent > 0.0 ? e0 : e0 - cell / 2.0;
    }
    g.rays.columns = count[0];
    g.rays.rows = count[1];
    g.cellArea = size[0] * size[1];
    g.cellSide = std::max(size[0], size[1]);
    CMatrix4 w = CMatrix4::Identity();
    w[0] = static_cast<float>(1.0 / size[0]);
    w[5] = static_cast<float>(-1.0 / size[1]);
    w[12] = static_cast<float>(-start[0] / size[0] - 0.5);
    w[13] = static_cast<float>((start[1] + count[1] * size[1]) / size[1] - 0.5);
    g.rays.windowMatrix = Multiply(g.rays.view, w);
    return g;
}

void NoteDepths(CDepthRange& r, float nearest, float farthest) {
    if (!r.any) {
        r.any = true;
        r.nearest = nearest;
        r.farthest = farthest;
        return;
    }
    r.nearest = std::max(r.nearest, nearest);
    r.farthest = std::min(r.farthest, farthest);
}

// What one row of a grid holds: the metal's thickness summed over its cells, and how far the
// metal thinner than two cells may put the volume out. The other directions see such metal
// edge-on, as a line their rows hit or miss by luck: each may count one cell's thickness of it
// more or less than there is, and a line thinner than a cell as a whole cell.
struct CRowSums {
    float cell = 0.0f;
    double all = 0.0;
    double thinError = 0.0;
};

// Sums the solid intervals of one crossing list (entry and exit in pairs, front first) and
// recycles it.
void TakeCrossings(const CFragment* list, CRowSums& sum, CDepthRange& r) {
    float nearest = 0.0f;
    float farthest = 0.0f;
    bool any = false;
    for (const CFragment* f = list; f != nullptr && f->link != nullptr; f = f->link->link) {
        const CFragment& exit = *f->link;
        const float thickness = f->depth - exit.depth;
        if (!(thickness > 0.0f)) {
            continue;
        }
        sum.all += thickness;
        if (thickness < 2.0f * sum.cell) {
            sum.thinError += std::max(thickness, sum.cell);
        }
        nearest = any ? std::max(nearest, f->depth) : f->depth;
        farthest = any ? std::min(farthest, exit.depth) : exit.depth;
        any = true;
    }
    if (any) {
        NoteDepths(r, nearest, farthest);
    }
}

// Adds up the rows: per direction, and the metal's box.
CSolidVolume Collect(const CGridRows& grid, double cell) {
    CSolidVolume s;
    s.cellSize = cell;
    s.interrupted = grid.rowsDone < grid.firstRow[3];
    CVector3 boxMin;
    CVector3 boxMax;
    ResetBounds(boxMin, boxMax);
    double thin[3] = {0.0, 0.0, 0.0};
    for (int d = 0; d < 3; ++d) {
        const CDirectionGrid& g = grid.grids[d];
        for (int row = grid.firstRow[d]; row < grid.firstRow[d + 1]; ++row) {
            s.directionVolumes[static_cast<std::size_t>(d)] +=
                grid.sums[static_cast<std::size_t>(row)] * g.cellArea;
            thin[d] += grid.thinErrors[static_cast<std::size_t>(row)] * g.cellArea;
        }
        for (const std::array<CDepthRange, 3>& found : grid.depths) {
            const CDepthRange& r = found[static_cast<std::size_t>(d)];
            if (!r.any) {
                continue;
            }
            // Each model axis lies along the line of sight of one direction, whose depths
            // measure it exactly; the cells would give it only to a cell.
            const int axis = g.rays.depthAxis;
            const float a = r.farthest * g.rays.depthSign;
            const float b = r.nearest * g.rays.depthSign;
            SetComponent(boxMin, axis, std::min({Component(boxMin, axis), a, b}));
            SetComponent(boxMax, axis, std::max({Component(boxMax, axis), a, b}));
        }
    }
    const auto& v = s.directionVolumes;
    s.volume = (v[0] + v[1] + v[2]) / 3.0;
    const double spread =
        *std::max_element(v.begin(), v.end()) - *std::min_element(v.begin(), v.end());
    s.uncertaintyPercent = s.volume > 0.0 ? 100.0 * spread / s.volume : 0.0;
    s.thinMetalError = std::max({thin[0], thin[1], thin[2]});
    s.empty = BoundsEmpty(boxMin, boxMax);
    s.min = boxMin;
    s.max = boxMax;
    return s;
}

// One pass over the three grids, of the solid of `plan`, its rows split among the threads.
CSolidVolume MeasureOnGrid(const CVolumeRequest& v, const CMaterialTable& materials,
                           const CCsgPlan& plan, const CVector3& min, const CVector3& max,
                           double cell) {
    const CDirectionGrid grids[3] = {MakeGrid(0, min, max, cell), MakeGrid(1, min, max, cell),
                                     MakeGrid(2, min, max, cell)};
    const int threads = std::clamp(v.threads, 1, 64);
    CGridRows grid(grids, threads);
    CAxisRayWalk walk;
    walk.first = v.first;
    walk.stop = v.stop;
    walk.plan = &plan;
    walk.materials = &materials;
    walk.threads = threads;
    walk.interrupt = v.interrupt;
    walk.tessellation = v.tessellation;
    const CAxisRayGrid rays[3] = {grids[0].rays, grids[1].rays, grids[2].rays};
    WalkAxisRays(
        walk, rays,
        [&](CAxisRayRow& row) {
            CRowSums sum;
            sum.cell = static_cast<float>(grids[row.direction].cellSide);
            CDepthRange& depths = grid.depths[static_cast<std::size_t>(row.worker)]
                                             [static_cast<std::size_t>(row.direction)];
            row.ForEachRay([&](int, const CFragment* list) { TakeCrossings(list, sum, depths); });
            const auto at = static_cast<std::size_t>(grid.firstRow[row.direction] + row.row);
            grid.sums[at] = sum.all;
            grid.thinErrors[at] = sum.thinError;
        },
        &grid.rowsDone);
    return Collect(grid, cell);
}

// Each material's metal, measured on the grid the whole was: the parts of that material with
// every cut still made, less what later parts of other materials take. Parts of different
// materials that touch or nest then each keep their own metal, where a shared face would give
// the metal behind it to one of them.
void MeasureMaterials(const CVolumeRequest& v, const CMaterialTable& materials,
                      const CCsgPlan& metal, const CVector3& min, const CVector3& max, double cell,
                      CSolidVolume& s) {
    const std::vector<CMaterialShare> shares = ShareMetalByMaterial(metal, v.first, v.stop);
    if (shares.size() == 1) {
        s.materials.push_back({shares.front().material, s.volume});
        return;
    }
    // Touching faces fall on the same cells in each measure, so parts that only touch lose
    // nothing but for rounding and the grid's error at faces modelled a hair apart: only more
    // than the accuracy asked for is an overlap.
    const double tolerance = s.volume * std::clamp(v.accuracyPercent, 0.01, 50.0) / 100.0;
    const auto measure = [&](const CCsgPlan& plan, double& volume) {
        const CSolidVolume part = MeasureOnGrid(v, materials, plan, min, max, cell);
        s.interrupted = s.interrupted || part.interrupted;
        volume = part.volume;
        return !part.interrupted;
    };
    std::vector<double> owned(shares.size(), 0.0);
    for (std::size_t i = 0; i < shares.size(); ++i) {
        if (!measure(shares[i].owned, owned[i])) {
            return;
        }
        if (owned[i] > 0.0) {
            s.materials.push_back({shares[i].material, owned[i]});
        }
    }
    for (std::size_t i = 0; i < shares.size(); ++i) {
        const CMaterialShare& share = shares[i];
        double alone = 0.0;
        if (share.laterMaterials.empty() || !measure(share.alone, alone) ||
            !(alone - owned[i] > tolerance)) {
            continue;
        }
        if (share.laterMaterials.size() == 1) {
            s.overlaps.push_back({share.material, share.laterMaterials[0], alone - owned[i]});
            continue;
        }
        // Taken by several: what each later material owns of this one's parts.
        for (const CMaterialShare& later : shares) {
            if (std::find(share.laterMaterials.begin(), share.laterMaterials.end(),
                          later.material) == share.laterMaterials.end()) {
                continue;
            }
            CCsgPlan shared;
            shared.root.operation = ECsgOperation::kIntersection;
            shared.root.children = {share.alone.root, later.owned.root};
            double taken = 0.0;
            if (!measure(shared, taken)) {
                return;
            }
            if (taken > tolerance) {
                s.overlaps.push_back({share.material, later.material, taken});
            }
        }
    }
    for (const CMetalOverlap& o : s.overlaps) {
        s.overlapVolume += o.volume;
    }
}

// Whether the metal found reaches beyond the box the grid was fitted to by more than `margin`.
bool Outside(const CSolidVolume& s, const CVector3& min, const CVector3& max, double margin) {
    for (int axis = 0; axis < 3; ++axis) {
        if (Component(s.min, axis) < Component(min, axis) - margin ||
            Component(s.max, axis) > Component(max, axis) + margin) {
            return true;
        }
    }
    return false;
}

// How far the volume measured on a grid of `cells` may be from the truth, in per cent. The
// spread of the three directions misses what they all get wrong alike: a grid in step with
// a row of edges (boxes at a pitch the spacing divides) counts each a part of a cell too much
// in every direction, and metal thinner than a cell is hit or missed by luck. So the statement
// also takes the change from the grid of twice the spacing (which is out of step with what the
// finer one is in step with, and errs at least as much), what metal thinner than two cells may
// put out, and what the grid was made fine enough for.
double HonestUncertainty(const CSolidVolume& s, const CSolidVolume& coarser, int cells) {
    if (!(s.volume > 0.0)) {
        return 0.0;
    }
    const double change = std::fabs(s.volume - coarser.volume);
    const double statedByGrid = 100.0 * kCellsPerAccuracy / cells;
    return std::max({s.uncertaintyPercent, statedByGrid, 100.0 * change / s.volume,
                     100.0 * s.thinMetalError / s.volume});
}

}  // namespace

CSolidVolume MeasureSolidVolume(const CVolumeRequest& request) {
    CVolumeRequest v = request;
    std::optional<CTessellationStore> ownStore;
    if (v.tessellation == nullptr) {
        v.tessellation = &ownStore.emplace();
    }
    std::optional<CCsgPlan> ownPlan;
    const CCsgPlan& plan =
        v.plan != nullptr ? *v.plan : ownPlan.emplace(MakeCsgPlan(v.first, v.stop));
    CVector3 min;
    CVector3 max;
    if (!MetalCandidatesBox(plan, min, max)) {
        return {};
    }
    const double accuracy = std::clamp(v.accuracyPercent, 0.01, 50.0) / 100.0;
    const double longest = std::max({max.x - min.x, max.y - min.y, max.z - min.z});
    if (!(longest > 0.0)) {
        return {};  // flat or a point: no volume
    }
    int cells =
        std::clamp(static_cast<int>(std::ceil(kCellsPerAccuracy / accuracy)), 16, kMostCells);
    const CMaterialTable materials(EShading::kVertexColours, v.first, v.stop);
    // The metal alone: stones are not metal, though what cuts with a stone's shape still cuts.
    CCsgFilter metalOnly;
    metalOnly.metalOnly = true;
    const CCsgPlan metal = FilterCsgPlan(plan, metalOnly);
    // A coarser look first finds the metal's own box, exact where flat faces bound it (the
    // objects' boxes may hold control points beyond the surfaces): grids fitted to it put
    // those faces on cell edges. Only a part thinner than its cells standing out of the rest
    // could escape that look.
    CSolidVolume s =
        MeasureOnGrid(v, materials, metal, min, max, longest / std::max(16, cells / 4));
    if (s.interrupted) {
        return s;
    }
    if (!s.empty) {
        min = s.min;
        max = s.max;
    }
    double fitted = std::max({max.x - min.x, max.y - min.y, max.z - min.z});
    if (!(fitted > 0.0)) {
        return s;
    }
    s = MeasureOnGrid(v, materials, metal, min, max, fitted / cells);
    // Metal the coarse look missed (a wire thinner than its cells standing out of the rest)
    // still shows in the depths along each axis, which no grid limits: fit the grid to it too.
    if (!s.interrupted && !s.empty && Outside(s, min, max, fitted / cells)) {
        MergeBounds(min, max, s.min, s.max);
        fitted = std::max({max.x - min.x, max.y - min.y, max.z - min.z});
        s = MeasureOnGrid(v, materials, metal, min, max, fitted / cells);
    }
    // Directions that disagree more than asked show detail the grid is too coarse for.
    std::optional<CSolidVolume> coarser;
    if (!s.interrupted && s.uncertaintyPercent > 100.0 * accuracy && cells < kMostCells) {
        coarser = s;
        cells = std::min(kMostCells, cells * 2);
        s = MeasureOnGrid(v, materials, metal, min, max, fitted / cells);
    } else if (!s.interrupted) {
        coarser = MeasureOnGrid(v, materials, metal, min, max, fitted / (cells / 2));
    }
    if (coarser && coarser->interrupted) {
        s.interrupted = true;
    }
    if (s.interrupted) {
        return s;
    }
    s.uncertaintyPercent = HonestUncertainty(s, *coarser, cells);
    if (!s.empty) {
        MeasureMaterials(v, materials, metal, min, max, fitted / cells, s);
    }
    return s;
}

}  // namespace orva
