#include "measure/axis_rays.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <vector>

#include "platform/interrupt.h"
#include "render/band_runner.h"
#include "render/band_tree.h"
#include "render/render_scene.h"
#include "view/viewport.h"

namespace orva {

namespace {

// Standard views 1, 3 and 5: looking along model y, z and x. Each row: the model axes that
// become eye x, y and z, and their signs (as the view camera sets them up).
constexpr int kDirections[3][6] = {
    {0, 2, 1, 1, 1, -1},
    {0, 1, 2, 1, 1, 1},
    {1, 2, 0, -1, 1, -1},
};

// Bands of each direction's rows, numbered through the three grids: a band builds its own
// tree, so a few per thread and direction balance the work without building the scene too
// often.
std::vector<CRowBand> SplitIntoBands(const CAxisRayGrid (&grids)[3], const int (&firstRow)[4],
                                     int threads) {
    std::vector<CRowBand> bands;
    for (int d = 0; d < 3; ++d) {
        const int rows = grids[d].rows;
        const int wanted = threads == 1 ? 1 : threads * 2;
        const int height = std::max(16, (rows + wanted - 1) / wanted);
        for (int y = 0; y < rows; y += height) {
            bands.push_back({firstRow[d] + y, firstRow[d] + std::min(rows - 1, y + height - 1)});
        }
    }
    return bands;
}

}  // namespace

CAxisView AxisView(int direction) {
    const int* a = kDirections[direction];
    CViewport viewport;
    viewport.SetAxes(a[0], a[1], a[2], a[3], a[4], a[5]);
    CAxisView v;
    v.view = viewport.view;
    v.columnAxis = a[0];
    v.rowAxis = a[1];
    v.depthAxis = a[2];
    v.columnSign = static_cast<float>(a[3]);
    v.rowSign = static_cast<float>(a[4]);
    v.depthSign = static_cast<float>(a[5]);
    return v;
}

bool WalkAxisRays(const CAxisRayWalk& walk, const CAxisRayGrid (&grids)[3],
                  const AxisRowVisit& visit, std::atomic<int>* rowsDone) {
    int firstRow[4] = {0, 0, 0, 0};
    for (int d = 0; d < 3; ++d) {
        firstRow[d + 1] = firstRow[d] + grids[d].rows;
    }
    const int threads = std::clamp(walk.threads, 1, 64);
    std::vector<std::unique_ptr<CRenderContext>> contexts;
    for (int t = 0; t < threads; ++t) {
        contexts.push_back(std::make_unique<CRenderContext>());
        contexts.back()->materials = walk.materials;
    }
    CBandRunOptions options;
    options.threads = threads;
    options.interrupt = walk.interrupt;
    std::atomic<bool> stopped{false};
    RunBands(SplitIntoBands(grids, firstRow, threads), options,
             [&](int worker, const CRowBand& band, CClaimableRows& claimable) {
                 const int d = band.first < firstRow[1] ? 0 : (band.first < firstRow[2] ? 1 : 2);
                 const CAxisRayGrid& g = grids[d];
                 CRenderContext& ctx = *contexts[static_cast<std::size_t>(worker)];
                 CRenderRequest r;
                 r.first = walk.first;
                 r.stop = walk.stop;
                 r.plan = walk.plan;
                 r.view = g.view;
                 r.windowMatrix = g.windowMatrix;
                 r.viewportWidth = g.columns;
                 r.viewportHeight = g.rows;
                 r.shading = walk.shading;
                 r.interrupt = walk.interrupt;
                 r.tessellation = walk.tessellation;
                 const CRenderRect rect{0, g.columns - 1, band.first - firstRow[d],
                                        band.last - firstRow[d]};
                 const CBandTree tree(ctx, r, rect);
                 CRowWalker walker(tree.Root());
                 for (int row = 0; claimable.Claim(row);) {
                     if (walk.interrupt != nullptr && walk.interrupt->Poll()) {
                         stopped = true;
                         return false;
                     }
                     const int y = row - firstRow[d];
                     if (walker.AdvanceTo(y, ctx)) {
                         CRenderNode& root = *tree.Root();
                         CAxisRayRow rays(ctx, root, worker, d, y,
                                          std::max(rect.x0, root.leftmostColumn), g.columns);
                         visit(rays);
                     }
                     if (rowsDone != nullptr) {
                         ++*rowsDone;
                     }
                 }
                 return true;
             });
    return !stopped && !(walk.interrupt != nullptr && walk.interrupt->Poll());
}

}  // namespace orva
