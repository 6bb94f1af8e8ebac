#include "render/render_scene.h"

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "platform/interrupt.h"
#include "render/antialiased_band.h"
#include "render/band_plan.h"
#include "render/band_tree.h"
#include "render/csg/csg_plan.h"
#include "render/claimable_rows.h"
#include "render/object_boxes.h"
#include "render/render_context.h"
#include "render/render_tree.h"
#include "render/row_loop.h"
#include "render/shading/material_table.h"
#include "render/tessellation/tessellation_store.h"
#include "scene/scene_file.h"
#include "view/display_colours.h"
#include "view/draw_surface.h"
#include "view/frame_context.h"
#include "view/on_screen.h"
#include "view/view_camera.h"

namespace orva {

namespace {

// The rectangle of the request, or an empty one (x1 < x0) when there is nothing to draw.
CRenderRect RequestRect(const CRenderRequest& r) {
    if (r.repaintSet) {
        return {r.repaintLeft, r.repaintRight - 1, r.repaintTop, r.repaintBottom - 1};
    }
    return {r.viewportX, r.viewportX + r.viewportWidth - 1, r.viewportY,
            r.viewportY + r.viewportHeight - 1};
}

// Fewer rows left in a band than this are not worth a second tree.
constexpr int kFewestRowsToShare = 16;

// What the workers of one picture share: the planned bands, taken in order, and each worker's
// rows in progress, of which an idle worker takes half.
struct CPictureWork {
    const CRenderRequest& request;
    const CMaterialTable& materials;
    const CObjectBoxes& boxes;
    const std::vector<CRenderRect>& bands;
    std::vector<CClaimableRows> inProgress;  // one per worker
    std::atomic<std::size_t> nextBand{0};
    std::atomic<int> rowsDelivered{0};
    std::chrono::steady_clock::time_point start;

    CPictureWork(const CRenderRequest& r, const CMaterialTable& m, const CObjectBoxes& o,
                 const std::vector<CRenderRect>& b, int workers)
        : request(r), materials(m), boxes(o), bands(b), inProgress(workers) {}

    bool Interrupted() const { return request.interrupt != nullptr && request.interrupt->Poll(); }
};

// One band with a tree of its own, its rows claimed from `rows` (which other workers may take
// rows from). False when the interrupt stopped it.
bool RenderBand(CRenderContext& ctx, CPictureWork& work, const CRenderRequest& supersampled,
                const CRenderRect& band, CClaimableRows& rows, int& rowsDelivered) {
    const CRenderRequest& r = work.request;
    if (r.antialias > 1) {
        const int delivered = RenderAntialiasedBand(ctx, r, supersampled, band);
        rowsDelivered += delivered;
        return delivered == band.y1 - band.y0 + 1;
    }
    rows.Assign(band.y0, band.y1 + 1);
    const CBandTree tree(ctx, r, band, &work.boxes);
    rowsDelivered += RenderRows(ctx, tree.Root(), *r.surface, rows);
    return !work.Interrupted();
}

// Rows another worker has not reached yet, from the one with the most left: false when no
// worker has enough left to share.
bool ShareRows(CPictureWork& work, const CRenderRect& picture, CRenderRect& taken) {
    for (;;) {
        CClaimableRows* most = nullptr;
        for (CClaimableRows& rows : work.inProgress) {
            if (rows.RowsLeft() >= kFewestRowsToShare &&
                (most == nullptr || rows.RowsLeft() > most->RowsLeft())) {
                most = &rows;
            }
        }
        if (most == nullptr || work.Interrupted()) {
            return false;
        }
        int first = 0;
        int end = 0;
        if (most->StealHalf(kFewestRowsToShare, first, end)) {
            taken = {picture.x0, picture.x1, first, end - 1};
            return true;
        }
    }
}

// Takes bands in turn until none is left or the interrupt comes, then helps the others with
// the rows they have left (anti-aliased bands look beyond their rows and stay whole).
// `finished` receives the time the worker ran out of work, counted from the start.
void RenderWorker(CPictureWork& work, const CRenderRect& picture, int index, double& finished) {
    const CRenderRequest& r = work.request;
    CRenderContext ctx;  // each band's tree prepares it for its request
    ctx.materials = &work.materials;
    const CRenderRequest supersampled = SupersampledRequest(r, std::max(1, r.antialias));
    CClaimableRows& own = work.inProgress[static_cast<std::size_t>(index)];
    int rows = 0;
    bool stopped = false;
    for (std::size_t b = work.nextBand++; b < work.bands.size() && !stopped; b = work.nextBand++) {
        stopped = !RenderBand(ctx, work, supersampled, work.bands[b], own, rows);
    }
    CRenderRect shared;
    while (!stopped && r.antialias <= 1 && ShareRows(work, picture, shared)) {
        stopped = !RenderBand(ctx, work, supersampled, shared, own, rows);
    }
    work.rowsDelivered += rows;
    finished = std::chrono::duration<double>(std::chrono::steady_clock::now() - work.start).count();
}

// How long each worker waited at the end for the last one to finish.
std::vector<double> IdleAtTheEnd(const std::vector<double>& finished) {
    const double last = *std::max_element(finished.begin(), finished.end());
    std::vector<double> idle;
    for (double f : finished) {
        idle.push_back(last - f);
    }
    return idle;
}

}  // namespace

CRenderStats RenderPicture(const CRenderRequest& original) {
    CRenderStats stats;
    CRenderRequest request = original;
    // Vertex colours or per-pixel shading only; anything else is drawn with OpenGL.
    request.antialias = std::clamp(request.antialias, 1, 4);
    const auto start = std::chrono::steady_clock::now();
    const CRenderRect rect = RequestRect(request);
    if (request.surface == nullptr || rect.x1 < rect.x0 || rect.y1 < rect.y0) {
        return stats;
    }
    stats.threads = std::clamp(request.threads, 1, 64);
    const CObjectBoxes boxes(request.first, request.stop, request.windowMatrix);
    const std::vector<CRenderRect> bands =
        SplitIntoBands(rect, EstimateRowWork(request, rect, boxes), stats.threads,
                       request.antialias > 1 ? EBandEnds::kBandsWhole : EBandEnds::kRowsShared);
    stats.threads = std::min<int>(stats.threads, static_cast<int>(bands.size()));
    stats.bands = static_cast<int>(bands.size());
    // Every band builds the tree of the objects that reach it, from tessellation and materials
    // shared by all bands: the materials and maps are read once here.
    auto materials =
        std::make_unique<const CMaterialTable>(request.shading, request.first, request.stop);
    // Without a store of the caller's, the bands still share what they tessellate.
    std::optional<CTessellationStore> ownStore;
    if (request.tessellation == nullptr) {
        request.tessellation = &ownStore.emplace();
    }
    // How the scene becomes a solid is decided once; every band evaluates it.
    std::optional<CCsgPlan> ownPlan;
    if (request.plan == nullptr) {
        request.plan = &ownPlan.emplace(MakeCsgPlan(request.first, request.stop));
    }
    CPictureWork work(request, *materials, boxes, bands, stats.threads);
    work.start = start;
    std::vector<double> finished(stats.threads, 0.0);
    if (stats.threads == 1) {
        RenderWorker(work, rect, 0, finished[0]);
    } else {
        std::vector<std::thread> workers;
        for (int t = 0; t < stats.threads; ++t) {
            workers.emplace_back(RenderWorker, std::ref(work), std::cref(rect), t,
                                 std::ref(finished[t]));
        }
        for (std::thread& worker : workers) {
            worker.join();
        }
    }
    stats.idleSeconds = IdleAtTheEnd(finished);
    request.tessellation->EndPicture();
    ownStore.reset();
    // The pools and maps of a render are large and short-lived: give their memory back, unless
    // the next picture is about to take it again.
    materials.reset();
    if (!request.keepMemory) {
        malloc_trim(0);
    }
    stats.rowsDelivered = work.rowsDelivered;
    stats.interrupted = stats.rowsDelivered < rect.y1 - rect.y0 + 1;
    stats.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return stats;
}

CRenderRequest MakeRenderRequest(const CViewCamera& camera, const CSceneRange& scene,
                                 CDrawSurface& surface, EShading shading, int threads) {
    CRenderRequest r;
    r.shading = shading;
    r.threads = threads;
    r.surface = &surface;
    r.first = scene.first;
    r.stop = scene.stop;
    CViewport v = camera.CurrentViewport();
    r.view = v.view;
    r.windowMatrix = v.WindowMatrix();
    r.viewportX = v.x;
    r.viewportY = v.y;
    r.viewportWidth = v.width;
    r.viewportHeight = v.height;
    r.repaintSet = v.repaintSet;
    if (r.repaintSet) {
        v.ClipRepaint();
        r.repaintLeft = v.repaintLeft;
        r.repaintTop = v.repaintTop;
        r.repaintRight = v.repaintRight;
        r.repaintBottom = v.repaintBottom;
    }
    return r;
}

void RenderScene(CFrameContext& frame, EShading shading, CTessellationStore* tessellation) {
    // A render asked for while this frame's render runs (from a surface's PutImage, say) would
    // draw the same rows again into the rows being drawn: it draws nothing.
    if (frame.rendering) {
        return;
    }
    frame.rendering = true;
    CRenderRequest request = MakeRenderRequest(frame.Camera(), frame.Scene(), frame.Surface(),
                                               shading, ThreadsOrCores(frame.renderThreads));
    request.interrupt = &frame.Interrupt();
    request.tessellation = tessellation;
    RenderPicture(request);
    frame.rendering = false;
}

int ThreadsOrCores(int threads) {
    if (threads >= 1) {
        return threads;
    }
    return std::max(1u, std::thread::hardware_concurrency());
}

}  // namespace orva
