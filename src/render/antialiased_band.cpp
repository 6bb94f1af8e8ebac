#include "render/antialiased_band.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/interrupt.h"
#include "render/band_tree.h"
#include "render/csg/tree_walk.h"
#include "render/csg/wanted_columns.h"
#include "render/render_scene.h"
#include "render/row_loop.h"
#include "render/shading/shading_batch.h"
#include "view/draw_surface.h"

namespace orva {

namespace {

// Neighbours further apart than this in any channel are sampled in full: it keeps strong
// highlights and shading edges within a few levels of the full average.
constexpr int kContrastLimit = 12;

// The first pass: one sample per pixel over the band and a pixel around it.
struct CCoarsePass {
    CRenderRect rect;  // the pixels sampled
    int width = 0;
    std::vector<uint8_t> colours;  // 3 bytes per pixel
    std::vector<CSampleResult> samples;

    const uint8_t* Colour(int x, int y) const {
        return colours.data() + 3 * (static_cast<size_t>(y - rect.y0) * width + (x - rect.x0));
    }
    const CSampleResult& Sample(int x, int y) const {
        return samples[static_cast<size_t>(y - rect.y0) * width + (x - rect.x0)];
    }
};

bool Interrupted(const CRenderContext& ctx) {
    return ctx.interrupt != nullptr && ctx.interrupt->Poll();
}

// The band widened by a pixel on each side, within the viewport.
CRenderRect NeighbourhoodOf(const CRenderRect& band, const CRenderRequest& r) {
    return {std::max(band.x0 - 1, r.viewportX),
            std::min(band.x1 + 1, r.viewportX + r.viewportWidth - 1),
            std::max(band.y0 - 1, r.viewportY),
            std::min(band.y1 + 1, r.viewportY + r.viewportHeight - 1)};
}

// False when the interrupt came.
bool SampleCoarse(CRenderContext& ctx, const CRenderRequest& r, CCoarsePass& pass) {
    pass.width = pass.rect.x1 - pass.rect.x0 + 1;
    const size_t pixels = static_cast<size_t>(pass.width) * (pass.rect.y1 - pass.rect.y0 + 1);
    pass.colours.resize(3 * pixels);
    pass.samples.assign(pixels, CSampleResult{});
    CBandTree tree(ctx, r, pass.rect);
    CRowWalker walker(tree.Root());
    for (int y = pass.rect.y0; y <= pass.rect.y1; ++y) {
        if (Interrupted(ctx)) {
            return false;
        }
        uint8_t* row = pass.colours.data() + 3 * static_cast<size_t>(y - pass.rect.y0) * pass.width;
        FillBackground(ctx, row, pass.width);
        if (walker.AdvanceTo(y, ctx)) {
            ShadeRow(ctx, *tree.Root(), y, row,
                     pass.samples.data() + static_cast<size_t>(y - pass.rect.y0) * pass.width);
        }
    }
    return true;
}

bool Differ(const CCoarsePass& pass, int x, int y, int nx, int ny) {
    const CSampleResult& a = pass.Sample(x, y);
    const CSampleResult& b = pass.Sample(nx, ny);
    if (a.key != b.key || std::abs(a.transmitted - b.transmitted) * 255.0f > kContrastLimit) {
        return true;
    }
    const uint8_t* p = pass.Colour(x, y);
    const uint8_t* q = pass.Colour(nx, ny);
    for (int c = 0; c < 3; ++c) {
        if (std::abs(int(p[c]) - int(q[c])) > kContrastLimit) {
            return true;
        }
    }
    return false;
}

// Which pixels of the band are sampled in full (1 a pixel, by rows): those whose four
// neighbours (those sampled) do not all look like them. An edge between two pixel centres may
// lie in either pixel, so both are sampled in full; one that only clips a corner moves the
// average by too little to matter. Each pair of neighbours is compared once.
std::vector<uint8_t> RefinedPixels(const CCoarsePass& pass, const CRenderRect& band) {
    const int width = band.x1 - band.x0 + 1;
    std::vector<uint8_t> refined(static_cast<size_t>(width) * (band.y1 - band.y0 + 1));
    const auto mark = [&](int x, int y) {
        if (x >= band.x0 && x <= band.x1 && y >= band.y0 && y <= band.y1) {
            refined[static_cast<size_t>(y - band.y0) * width + (x - band.x0)] = 1;
        }
    };
    const auto compare = [&](int x, int y, int nx, int ny) {
        if (Differ(pass, x, y, nx, ny)) {
            mark(x, y);
            mark(nx, ny);
        }
    };
    const int left = std::max(band.x0 - 1, pass.rect.x0);
    const int right = std::min(band.x1, pass.rect.x1 - 1);
    for (int y = std::max(band.y0 - 1, pass.rect.y0); y <= band.y1; ++y) {
        for (int x = band.x0; y < pass.rect.y1 && x <= band.x1; ++x) {
            compare(x, y, x, y + 1);
        }
        for (int x = left; y >= band.y0 && x <= right; ++x) {
            compare(x, y, x + 1, y);
        }
    }
    return refined;
}

// The sums of one row's full samples.
struct CSampleSums {
    std::vector<int> columns;  // the band pixels sampled in full, increasing
    std::vector<uint32_t> colour;
    std::vector<float> coverage;
    CWantedColumns wanted;         // their columns of samples
    std::vector<uint8_t> samples;  // one row of their samples, 3 bytes each
};

// Advances to a row of samples setting up only what the listed pixels' samples can show: on
// most rows they are a few edges across a wide picture.
bool AdvanceForSamples(CRenderContext& ctx, CRowWalker& walker, int row,
                       const CWantedColumns& wanted) {
    ctx.wantedColumns = &wanted;
    const bool any = walker.AdvanceTo(row, ctx);
    ctx.wantedColumns = nullptr;
    return any;
}

// Adds the n x n samples of every listed pixel of output row y, sub-row by sub-row.
void SampleRow(CRenderContext& ctx, CRowWalker& walker, CRenderNode* root, int n, int y,
               CSampleSums& sums) {
    sums.colour.assign(3 * sums.columns.size(), 0);
    sums.coverage.assign(sums.columns.size(), 0.0f);
    sums.wanted.Reset(ctx.renderRect.x0, ctx.renderRect.x1);
    for (const int x : sums.columns) {
        sums.wanted.Want(n * x, n * x + n - 1);
    }
    const size_t count = sums.columns.size() * static_cast<size_t>(n);
    sums.samples.resize(3 * count);
    for (int i = 0; i < n; ++i) {
        const int row = n * y + i;
        const bool any = AdvanceForSamples(ctx, walker, row, sums.wanted);
        FillBackground(ctx, sums.samples.data(), static_cast<int>(count));
        // Opaque samples are shaded four at a time, as whole rows are.
        CShadingBatch batch;
        batch.SetRow(row);
        for (size_t k = 0; k < sums.columns.size(); ++k) {
            for (int j = 0; j < n; ++j) {
                const int column = n * sums.columns[k] + j;
                if (any && column >= root->leftmostColumn) {
                    uint8_t* sample = sums.samples.data() + 3 * (k * n + j);
                    const CSampleResult s = ShadeOrQueue(
                        ctx, batch, FragmentsAtColumn(*root, column, ctx), sample, column, row);
                    sums.coverage[k] += 1.0f - s.transmitted;
                }
            }
        }
        batch.Flush(ctx);
        for (size_t s = 0; s < count; ++s) {
            for (int c = 0; c < 3; ++c) {
                sums.colour[3 * (s / n) + c] += sums.samples[3 * s + c];
            }
        }
    }
}

// Puts the averages of the pixels sampled in full into the row (which starts at column x0).
void ComposeRow(const CSampleSums& sums, int n, int x0, uint8_t* row, float* coverage) {
    const int samples = n * n;
    for (size_t k = 0; k < sums.columns.size(); ++k) {
        const int i = sums.columns[k] - x0;
        for (int c = 0; c < 3; ++c) {
            row[3 * i + c] = static_cast<uint8_t>((sums.colour[3 * k + c] + samples / 2) / samples);
        }
        coverage[i] = sums.coverage[k] / static_cast<float>(samples);
    }
}

}  // namespace

CRenderRequest SupersampledRequest(const CRenderRequest& r, int n) {
    CRenderRequest s = r;
    s.antialias = 1;
    s.viewportX = n * r.viewportX;
    s.viewportY = n * r.viewportY;
    s.viewportWidth = n * r.viewportWidth;
    s.viewportHeight = n * r.viewportHeight;
    s.repaintLeft = n * r.repaintLeft;
    s.repaintTop = n * r.repaintTop;
    s.repaintRight = n * r.repaintRight;
    s.repaintBottom = n * r.repaintBottom;
    // Pixels are sampled at whole coordinates: the centre of sub-square j of pixel x lies at
    // x + (j + 0.5) / n - 0.5, which lands on n * x + j after scaling by n and shifting by
    // (n - 1) / 2.
    CMatrix4 scale = CMatrix4::Identity();
    scale[0] = static_cast<float>(n);
    scale[5] = static_cast<float>(n);
    scale[12] = scale[13] = 0.5f * static_cast<float>(n - 1);
    s.windowMatrix = Multiply(r.windowMatrix, scale);
    return s;
}

int RenderAntialiasedBand(CRenderContext& ctx, const CRenderRequest& r,
                          const CRenderRequest& supersampled, const CRenderRect& band) {
    const int n = r.antialias;
    CCoarsePass pass;
    pass.rect = NeighbourhoodOf(band, r);
    if (!SampleCoarse(ctx, r, pass)) {
        return 0;
    }
    const int width = band.x1 - band.x0 + 1;
    std::vector<uint8_t> row((static_cast<size_t>(width) * 3 + 3) & ~size_t{3});
    std::vector<float> coverage(width);
    std::vector<uint8_t> alpha(width);
    CBandTree fine(ctx, supersampled,
                   {n * band.x0, n * band.x1 + n - 1, n * band.y0, n * band.y1 + n - 1});
    CRowWalker walker(fine.Root());
    CSampleSums sums;
    const std::vector<uint8_t> refined = RefinedPixels(pass, band);
    int delivered = 0;
    for (int y = band.y0; y <= band.y1; ++y) {
        if (Interrupted(ctx)) {
            break;
        }
        sums.columns.clear();
        for (int x = band.x0; x <= band.x1; ++x) {
            std::copy_n(pass.Colour(x, y), 3, row.data() + 3 * (x - band.x0));
            coverage[x - band.x0] = 1.0f - pass.Sample(x, y).transmitted;
            if (refined[static_cast<size_t>(y - band.y0) * width + (x - band.x0)] != 0) {
                sums.columns.push_back(x);
            }
        }
        if (!sums.columns.empty()) {
            SampleRow(ctx, walker, fine.Root(), n, y, sums);
            ComposeRow(sums, n, band.x0, row.data(), coverage.data());
        }
        if (ctx.coverage) {
            StraightenColours(row.data(), coverage.data(), width, alpha.data());
            r.surface->PutCoverage(band.x0, y, width, alpha.data());
        }
        r.surface->PutImage(band.x0, y, width, 1, row.data());
        ++delivered;
    }
    return delivered;
}

}  // namespace orva
