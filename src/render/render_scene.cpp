#include "render/render_scene.h"

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "render/antialiased_band.h"
#include "render/band_plan.h"
#include "render/band_tree.h"
#include "render/material_table.h"
#include "render/render_context.h"
#include "render/render_tree.h"
#include "render/row_loop.h"
#include "render/tessellation_store.h"
#include "scene/scene_file.h"
#include "view/display_colours.h"
#include "view/draw_surface.h"
#include "view/frame_context.h"
#include "view/interrupt.h"
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

// One band with a tree of its own. False when the interrupt stopped it.
bool RenderBand(CRenderContext& ctx, const CRenderRequest& r, const CRenderRequest& supersampled,
                const CRenderRect& band, int& rowsDelivered) {
    int rows = 0;
    if (r.antialias > 1) {
        rows = RenderAntialiasedBand(ctx, r, supersampled, band);
    } else {
        const CBandTree tree(ctx, r, band);
        rows = RenderRows(ctx, tree.Root(), *r.surface);
    }
    rowsDelivered += rows;
    return rows == band.y1 - band.y0 + 1;
}

// Takes bands in turn until none is left or the interrupt comes.
// `finished` receives the time the worker ran out of bands, counted from `start`.
void RenderWorker(const CRenderRequest& r, const CMaterialTable& materials,
                  const std::vector<CRenderRect>& bands, std::atomic<std::size_t>& next,
                  std::atomic<int>& rowsDelivered, std::chrono::steady_clock::time_point start,
                  double& finished) {
    CRenderContext ctx;  // each band's tree prepares it for its request
    ctx.materials = &materials;
    const CRenderRequest supersampled = SupersampledRequest(r, std::max(1, r.antialias));
    int rows = 0;
    for (std::size_t b = next++; b < bands.size(); b = next++) {
        if (!RenderBand(ctx, r, supersampled, bands[b], rows)) {
            break;
        }
    }
    rowsDelivered += rows;
    finished = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
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
    if (request.interrupt != nullptr) {
        request.interrupt->Reset();
    }
    stats.threads = std::clamp(request.threads, 1, 64);
    const std::vector<CRenderRect> bands =
        SplitIntoBands(rect, EstimateRowWork(request, rect), stats.threads);
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
    std::atomic<std::size_t> next{0};
    std::atomic<int> rows{0};
    std::vector<double> finished(stats.threads, 0.0);
    if (stats.threads == 1) {
        RenderWorker(request, *materials, bands, next, rows, start, finished[0]);
    } else {
        std::vector<std::thread> workers;
        for (int t = 0; t < stats.threads; ++t) {
            workers.emplace_back(RenderWorker, std::cref(request), std::cref(*materials),
                                 std::cref(bands), std::ref(next), std::ref(rows), start,
                                 std::ref(finished[t]));
        }
        for (std::thread& worker : workers) {
            worker.join();
        }
    }
    stats.idleSeconds = IdleAtTheEnd(finished);
    request.tessellation->EndPicture();
    ownStore.reset();
    // The pools and maps of a render are large and short-lived: give their memory back.
    materials.reset();
    malloc_trim(0);
    stats.rowsDelivered = rows;
    stats.interrupted = rows < rect.y1 - rect.y0 + 1;
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
