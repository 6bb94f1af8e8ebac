#include "render/row_loop.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/interrupt.h"
#include "render/claimable_rows.h"
#include "render/csg/render_node.h"
#include "render/csg/tree_walk.h"
#include "render/render_context.h"
#include "render/shading/pixel_shader.h"
#include "render/shading/shading_batch.h"
#include "view/draw_surface.h"

namespace orva {

namespace {

// Nearer than this apart, two fragments are one surface seen twice.
constexpr float kCoincidentDepth = 0.001f;

uint8_t ColourByte(float component) {
    const float scaled = component * 255.0f;
    if (!(scaled > 0.0f)) {
        return 0;  // also NaN
    }
    return scaled >= 255.0f ? 255 : static_cast<uint8_t>(scaled);
}

const CRenderMaterial& MaterialOf(const CFragment& f) {
    static const CRenderMaterial kDefault;
    const CRenderMaterial* m = FragmentMaterial(f);
    return m != nullptr ? *m : kDefault;
}

// Mixes a surface into a key; never 0, which stands for the background.
uint64_t MixKey(uint64_t key, const CFragment& f) {
    const auto bits = reinterpret_cast<uintptr_t>(FragmentSurface(f)) ^
                      (reinterpret_cast<uintptr_t>(FragmentMaterial(f)) << 1);
    return ((key ^ bits) * 0x9E3779B97F4A7C15ull) | 1u;
}

// Per-pixel shading of a crossing list: the front fragment, with what lies behind a
// transparent one shaded first so that it shows through.
CSampleResult ShadeFragments(CRenderContext& ctx, CFragment* list, uint8_t* pixel, int column,
                             int row) {
    // The fragments to shade, front first: the front one, and behind each transparent one the
    // next after its coincident pairs are gone. Shaded back to front, each over the last.
    std::vector<CFragment*>& layers = ctx.shadingLayers;
    layers.clear();
    CFragment** link = &list;
    for (;;) {
        *link = DropCoincidentPairs(*link, ctx);
        CFragment* f = *link;
        if (f == nullptr) {
            break;
        }
        layers.push_back(f);
        if (!(MaterialOf(*f).transparency > 0.0f)) {
            break;
        }
        link = &f->link;
    }
    CSampleResult result;
    for (auto it = layers.rbegin(); it != layers.rend(); ++it) {
        const CFragment& f = **it;
        const CInterpolation v = FragmentValues(f, column, EShading::kPerPixel);
        CShadingInputs inputs;
        inputs.u = v.u;
        inputs.v = v.v;
        inputs.surfacePoint = v.point;
        inputs.normal = v.normal;
        inputs.tangentU = v.tangentU;
        inputs.tangentV = v.tangentV;
        ctx.projectionCentre.fragmentDepth = f.depth;
        const float through = ShadePixel(ctx, MaterialOf(f), pixel, column, row, inputs);
        result.transmitted *= std::min(1.0f, through);
        result.key = MixKey(result.key, f);
    }
    RecycleFragments(ctx.pools, list);
    return result;
}

uint8_t RoundedByte(float value) {
    return static_cast<uint8_t>(std::clamp(std::floor(value + 0.5f), 0.0f, 255.0f));
}

}  // namespace

bool CRowWalker::AdvanceTo(int row, CRenderContext& ctx) {
    if (m_tree == nullptr || row < m_tree->firstRow) {
        return false;
    }
    if (!m_activated) {
        // Parents activate their children; the root has none, and a lone surface makes its
        // triangles only when activated.
        m_tree->Activate(row);
        m_activated = true;
    }
    AdvanceToRow(*m_tree, row, ctx);
    return true;
}

void FillBackground(const CRenderContext& ctx, uint8_t* row, int pixels) {
    // Three bytes a pixel, held in registers: a copy of three bytes is a call otherwise.
    const uint8_t blue = ctx.background[0];
    const uint8_t green = ctx.background[1];
    const uint8_t red = ctx.background[2];
    for (int i = 0; i < pixels; ++i) {
        row[3 * i] = blue;
        row[3 * i + 1] = green;
        row[3 * i + 2] = red;
    }
}

CSampleResult ShadeSample(CRenderContext& ctx, CFragment* list, uint8_t* pixel, int column,
                          int row) {
    list = DropCoincidentPairs(list, ctx);
    if (list == nullptr) {
        return {};
    }
    if (ctx.shadingModeSwitch == EShading::kPerPixel) {
        return ShadeFragments(ctx, list, pixel, column, row);
    }
    StoreVertexColour(*list, column, pixel);
    const CSampleResult result{0.0f, MixKey(0, *list)};
    RecycleFragments(ctx.pools, list);
    return result;
}

CSampleResult ShadeOrQueue(CRenderContext& ctx, CShadingBatch& batch, CFragment* list,
                           uint8_t* pixel, int column, int row) {
    list = DropCoincidentPairs(list, ctx);
    if (list == nullptr || ctx.shadingModeSwitch != EShading::kPerPixel ||
        !CShadingBatch::Takes(MaterialOf(*list))) {
        return ShadeSample(ctx, list, pixel, column, row);
    }
    batch.Add(ctx, MaterialOf(*list), pixel, column, list->depth, FragmentNormal(*list, column));
    const CSampleResult result{0.0f, MixKey(0, *list)};
    RecycleFragments(ctx.pools, list);
    return result;
}

void ShadeRow(CRenderContext& ctx, CRenderNode& tree, int row, uint8_t* pixels,
              CSampleResult* samples) {
    const CRenderRect& rect = ctx.renderRect;
    CShadingBatch batch;
    batch.SetRow(row);
    for (int x = std::max(rect.x0, tree.leftmostColumn); x <= rect.x1; ++x) {
        const int i = x - rect.x0;
        const CSampleResult s =
            ShadeOrQueue(ctx, batch, FragmentsAtColumn(tree, x, ctx), pixels + 3 * i, x, row);
        if (samples != nullptr) {
            samples[i] = s;
        }
    }
    batch.Flush(ctx);
}

void StraightenColours(uint8_t* pixels, const float* coverage, int count, uint8_t* alpha) {
    for (int i = 0; i < count; ++i) {
        const float a = std::clamp(coverage[i], 0.0f, 1.0f);
        alpha[i] = RoundedByte(a * 255.0f);
        for (int c = 0; c < 3; ++c) {
            uint8_t& p = pixels[3 * i + c];
            p = a > 0.0f ? RoundedByte(std::min(255.0f, p / a)) : 0;
        }
    }
}

CFragment* DropCoincidentPairs(CFragment* list, CRenderContext& ctx) {
    while (list != nullptr && list->link != nullptr &&
           list->depth - list->link->depth < kCoincidentDepth) {
        CFragment* rest = list->link->link;
        ctx.pools.fragments.Recycle(list->link);
        ctx.pools.fragments.Recycle(list);
        list = rest;
    }
    return list;
}

void StoreVertexColour(const CFragment& front, int column, uint8_t* pixel) {
    const CInterpolation values = FragmentValues(front, column, EShading::kVertexColours);
    pixel[0] = ColourByte(values.colour.z);
    pixel[1] = ColourByte(values.colour.y);
    pixel[2] = ColourByte(values.colour.x);
}

int RenderRows(CRenderContext& ctx, CRenderNode* tree, CDrawSurface& surface,
               CClaimableRows& rows) {
    const CRenderRect rect = ctx.renderRect;
    const int width = rect.x1 - rect.x0 + 1;
    // PutImage reads rows padded to whole 4-byte words.
    std::vector<uint8_t> row((static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3});
    std::vector<CSampleResult> samples(ctx.coverage ? width : 0);
    std::vector<float> coverage(samples.size());
    std::vector<uint8_t> alpha(samples.size());
    CRowWalker walker(tree);
    int delivered = 0;
    for (;;) {
        if (ctx.interrupt != nullptr && ctx.interrupt->Poll()) {
            break;
        }
        int y = 0;
        if (!rows.Claim(y)) {
            break;
        }
        FillBackground(ctx, row.data(), width);
        std::fill(samples.begin(), samples.end(), CSampleResult{});
        if (walker.AdvanceTo(y, ctx)) {
            ShadeRow(ctx, *tree, y, row.data(), samples.empty() ? nullptr : samples.data());
        }
        if (ctx.coverage) {
            for (int i = 0; i < width; ++i) {
                coverage[i] = 1.0f - samples[i].transmitted;
            }
            StraightenColours(row.data(), coverage.data(), width, alpha.data());
            surface.PutCoverage(rect.x0, y, width, alpha.data());
        }
        surface.PutImage(rect.x0, y, width, 1, row.data());
        ++delivered;
    }
    return delivered;
}

}  // namespace orva
