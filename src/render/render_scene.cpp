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
#include "render/band_runner.h"
#include "render/band_tree.h"
#include "render/claimable_rows.h"
#include "render/csg/csg_plan.h"
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

// One band of the picture with a tree of its own, its rows claimed from `rows` (which other
// workers may take rows from). False when the interrupt stopped it.
bool RenderBand(CRenderContext& ctx, const CRenderRequest& r, const CRenderRequest& supersampled,
                const CObjectBoxes& boxes, const CRenderRect& band, CClaimableRows& rows,
                std::atomic<int>& rowsDelivered) {
    if (r.antialias > 1) {
        // Anti-aliased bands look beyond their rows and stay whole.
        const int delivered = RenderAntialiasedBand(ctx, r, supersampled, band);
        rowsDelivered += delivered;
        return delivered == band.y1 - band.y0 + 1;
    }
    const CBandTree tree(ctx, r, band, &boxes);
    rowsDelivered += RenderRows(ctx, tree.Root(), *r.surface, rows);
    return !(r.interrupt != nullptr && r.interrupt->Poll());
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
    // Each worker renders with a context of its own, made on its own thread (and so in its
    // own memory, away from the others' busy fields); every band prepares it for the request.
    std::vector<std::unique_ptr<CRenderContext>> contexts(static_cast<std::size_t>(stats.threads));
    const CRenderRequest supersampled = SupersampledRequest(request, request.antialias);
    std::vector<CRowBand> rowBands;
    for (const CRenderRect& band : bands) {
        rowBands.push_back({band.y0, band.y1});
    }
    CBandRunOptions options;
    options.threads = stats.threads;
    options.fewestRowsToShare = request.antialias > 1 ? 0 : kFewestRowsToShare;
    options.interrupt = request.interrupt;
    std::atomic<int> rowsDelivered{0};
    const CBandRunStats run =
        RunBands(rowBands, options, [&](int worker, const CRowBand& band, CClaimableRows& rows) {
            std::unique_ptr<CRenderContext>& ctx = contexts[static_cast<std::size_t>(worker)];
            if (ctx == nullptr) {
                ctx = std::make_unique<CRenderContext>();
                ctx->materials = materials.get();
            }
            const CRenderRect part{rect.x0, rect.x1, band.first, band.last};
            return RenderBand(*ctx, request, supersampled, boxes, part, rows, rowsDelivered);
        });
    stats.idleSeconds = run.idleSeconds;
    contexts.clear();
    request.tessellation->EndPicture();
    ownStore.reset();
    // The pools and maps of a render are large and short-lived: give their memory back, unless
    // the next picture is about to take it again.
    materials.reset();
    if (!request.keepMemory) {
        malloc_trim(0);
    }
    stats.rowsDelivered = rowsDelivered;
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
