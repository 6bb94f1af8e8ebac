#pragma once

#include <array>
#include <cstdint>

#include "geometry/vector3.h"
#include "render/shading/render_material.h"

namespace orva {

struct CShadingContext;

// Opaque fragments of one row, shaded four at a time. Most pixels of a picture show one opaque
// metal, and their shading is a chain of square roots and divisions that one pixel at a time
// leaves the processor waiting on; four lanes side by side hide that. Each lane does exactly
// the arithmetic of ShadePixel, in the same order, so every byte is the one ShadePixel gives.
class CShadingBatch {
public:
    // Whether a fragment of `material` that is the only one shaded at its pixel may be left to
    // the batch: it hides what lies behind and needs no colour or bump map.
    static bool Takes(const CRenderMaterial& material) {
        return !(material.transparency > 0.0f) && material.colourMap == nullptr &&
               material.bumpMap == nullptr;
    }

    // Queues a fragment at `column` of the batch's row, with its depth and interpolated
    // normal, to be shaded into `pixel`. Shades the queue when it is full.
    void Add(CShadingContext& ctx, const CRenderMaterial& material, uint8_t* pixel, int column,
             float depth, CVector3 normal) {
        m_entries[static_cast<std::size_t>(m_count++)] = {&material, pixel, column, depth, normal};
        if (m_count == kCapacity) {
            Flush(ctx);
        }
    }
    // Shades what is queued. Called at the end of every row. Without four-lane arithmetic each
    // fragment is shaded alone, through the context's projection centre.
    void Flush(CShadingContext& ctx);
    // The row the queued fragments lie on; set before the first Add of a row.
    void SetRow(int row) { m_row = row; }

private:
    struct CEntry {
        const CRenderMaterial* material;
        uint8_t* pixel;
        int column;
        float depth;
        CVector3 normal;
    };
    static constexpr int kCapacity = 16;

    std::array<CEntry, kCapacity> m_entries{};
    int m_count = 0;
    int m_row = 0;
};

}  // namespace orva
