#include "render/row_loop.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "render/pixel_shader.h"
#include "render/render_context.h"
#include "render/tree_walk.h"
#include "view/draw_surface.h"
#include "view/interrupt.h"

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
    const CRenderMaterial* m = f.span->values.material;
    return m != nullptr ? *m : kDefault;
}

void FillBackground(const CRenderContext& ctx, std::vector<uint8_t>& row, int pixels) {
    for (int i = 0; i < pixels; ++i) {
        std::copy_n(ctx.background, 3, row.begin() + 3 * i);
    }
}

void RenderPixels(CRenderContext& ctx, CRenderNode& tree, int y, uint8_t* row) {
    const CRenderRect& rect = ctx.renderRect;
    for (int x = std::max(rect.x0, tree.leftmostColumn); x <= rect.x1; ++x) {
        CFragment* list = DropCoincidentPairs(FragmentsAtColumn(tree, x, ctx), ctx);
        if (list != nullptr) {
            uint8_t* pixel = row + 3 * (x - rect.x0);
            if (ctx.shadingModeSwitch == EShading::kVertexColours) {
                StoreVertexColour(*list, x, pixel);
            } else {
                ShadeFragments(ctx, list, pixel, x, y);
            }
        }
        RecycleFragments(ctx.pools, list);
    }
}

}  // namespace

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

void ShadeFragments(CRenderContext& ctx, CFragment* list, uint8_t* pixel, int column, int row) {
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
        ShadePixel(ctx, MaterialOf(f), pixel, column, row, inputs);
    }
}

int RenderRows(CRenderContext& ctx, CRenderNode* tree, CDrawSurface& surface) {
    const CRenderRect rect = ctx.renderRect;
    const int width = rect.x1 - rect.x0 + 1;
    // PutImage reads rows padded to whole 4-byte words.
    std::vector<uint8_t> row((static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3});
    int delivered = 0;
    bool activated = false;
    for (int y = rect.y0; y <= rect.y1; ++y) {
        if (ctx.interrupt != nullptr && ctx.interrupt->Poll()) {
            break;
        }
        FillBackground(ctx, row, width);
        if (tree != nullptr && y >= tree->firstRow) {
            if (!activated) {
                // Parents activate their children; the root has none, and a lone surface
                // makes its triangles only when activated.
                tree->Activate(y);
                activated = true;
            }
            AdvanceToRow(*tree, y, ctx);
            RenderPixels(ctx, *tree, y, row.data());
        }
        surface.PutImage(rect.x0, y, width, 1, row.data());
        ++delivered;
    }
    return delivered;
}

}  // namespace orva
