#include "render/shading/shading_batch.h"

#include <algorithm>

#include "render/shading/lighting.h"
#include "render/shading/pixel_shader.h"
#include "render/shading/render_material.h"
#include "render/shading/shading_context.h"
#include "render/shading/texture_sampling.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace orva {

#if defined(__SSE2__)

namespace {

// Four floats, one per lane, with the operations the shader uses: each is the one instruction
// the scalar code compiles to, so a lane rounds exactly as a single pixel does.
struct CLanes {
    __m128 v;
};

CLanes Splat(float f) {
    return {_mm_set1_ps(f)};
}
CLanes operator+(CLanes a, CLanes b) {
    return {_mm_add_ps(a.v, b.v)};
}
CLanes operator-(CLanes a, CLanes b) {
    return {_mm_sub_ps(a.v, b.v)};
}
CLanes operator*(CLanes a, CLanes b) {
    return {_mm_mul_ps(a.v, b.v)};
}
CLanes operator/(CLanes a, CLanes b) {
    return {_mm_div_ps(a.v, b.v)};
}
CLanes Sqrt(CLanes a) {
    return {_mm_sqrt_ps(a.v)};
}
// Where `mask` is set, `yes`; elsewhere `no`.
CLanes Select(__m128 mask, CLanes yes, CLanes no) {
    return {_mm_or_ps(_mm_and_ps(mask, yes.v), _mm_andnot_ps(mask, no.v))};
}
// std::min(a, b), which is (b < a) ? b : a, NaN included.
CLanes Min(CLanes a, CLanes b) {
    return {_mm_min_ps(b.v, a.v)};
}
// std::max(a, b), which is (a < b) ? b : a, NaN included.
CLanes Max(CLanes a, CLanes b) {
    return {_mm_max_ps(b.v, a.v)};
}

struct CLanes3 {
    CLanes x, y, z;
};

CLanes3 Splat3(CVector3 v) {
    return {Splat(v.x), Splat(v.y), Splat(v.z)};
}

CLanes3 Scaled(CLanes3 v, CLanes s) {
    return {v.x * s, v.y * s, v.z * s};
}

CLanes Dot(CLanes3 a, CLanes3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

CLanes3 Select3(__m128 mask, CLanes3 yes, CLanes3 no) {
    return {Select(mask, yes.x, no.x), Select(mask, yes.y, no.y), Select(mask, yes.z, no.z)};
}

// Screen(a, b) = a + b - a b, per component.
CLanes3 Screen3(CLanes3 a, CLanes3 b) {
    return {(a.x + b.x) - a.x * b.x, (a.y + b.y) - a.y * b.y, (a.z + b.z) - a.z * b.z};
}

// Normalized(): unchanged where the squared length is not above the threshold.
CLanes3 Normalized(CLanes3 v) {
    const CLanes s = v.x * v.x + v.y * v.y + v.z * v.z;
    const __m128 fine = _mm_cmpgt_ps(s.v, Splat(kDegenerateThreshold).v);
    const CLanes r = Splat(1.0f) / Sqrt(s);
    return Select3(fine, Scaled(v, r), v);
}

// The highlight's ramp above the material's threshold (lighting's HighlightRamp).
CLanes HighlightRamp(CLanes r, CLanes threshold) {
    const CLanes zero = Splat(0.0f);
    const CLanes one = Splat(1.0f);
    const CLanes k = r - threshold;
    const CLanes ramp = one - threshold;
    CLanes value = Min(k / ramp, one);
    const __m128 none = _mm_or_ps(_mm_cmplt_ps(k.v, zero.v), _mm_cmplt_ps(ramp.v, Splat(0.001f).v));
    value = Select(none, zero, value);
    value = Select(_mm_cmpge_ps(r.v, one.v), one, value);
    return Select(_mm_cmpge_ps(r.v, zero.v), value, zero);
}

// The lanes' materials, component by component.
struct CLaneMaterials {
    CLanes3 ambient, base, highlight;
    CLanes threshold;
};

CLanes3 Gather3(const CVector3* const v[4]) {
    return {{_mm_setr_ps(v[0]->x, v[1]->x, v[2]->x, v[3]->x)},
            {_mm_setr_ps(v[0]->y, v[1]->y, v[2]->y, v[3]->y)},
            {_mm_setr_ps(v[0]->z, v[1]->z, v[2]->z, v[3]->z)}};
}

CLaneMaterials GatherMaterials(const CRenderMaterial* const m[4]) {
    const CVector3* ambient[4] = {&m[0]->ambientColour, &m[1]->ambientColour, &m[2]->ambientColour,
                                  &m[3]->ambientColour};
    const CVector3* base[4] = {&m[0]->baseColour, &m[1]->baseColour, &m[2]->baseColour,
                               &m[3]->baseColour};
    const CVector3* highlight[4] = {&m[0]->highlightColour, &m[1]->highlightColour,
                                    &m[2]->highlightColour, &m[3]->highlightColour};
    return {Gather3(ambient),
            Gather3(base),
            Gather3(highlight),
            {_mm_setr_ps(m[0]->highlightThreshold, m[1]->highlightThreshold,
                         m[2]->highlightThreshold, m[3]->highlightThreshold)}};
}

// A map read along the mirror vector in each lane that has one (`flip` -1 for the reflection
// map, +1 for the gloss map); zero in the others, and `has` marks which lanes read one.
CLanes3 SampleAlongMirror(const BmpImage* const maps[4], const CTexelMap* const texels[4],
                          CLanes3 mirror, float flip, __m128& has) {
    alignas(16) float mx[4];
    alignas(16) float my[4];
    _mm_store_ps(mx, mirror.x.v);
    _mm_store_ps(my, mirror.y.v);
    alignas(16) float r[4] = {};
    alignas(16) float g[4] = {};
    alignas(16) float b[4] = {};
    alignas(16) int32_t present[4] = {};
    for (int i = 0; i < 4; ++i) {
        if (maps[i] == nullptr) {
            continue;
        }
        const CVector3 c =
            flip < 0.0f
                ? SampleColour(*maps[i], texels[i], (-mx[i] + 1.0f) * 0.5f, (-my[i] + 1.0f) * 0.5f)
                : SampleColour(*maps[i], texels[i], (mx[i] + 1.0f) * 0.5f, (my[i] + 1.0f) * 0.5f);
        r[i] = c.x;
        g[i] = c.y;
        b[i] = c.z;
        present[i] = -1;
    }
    has = _mm_castsi128_ps(_mm_load_si128(reinterpret_cast<const __m128i*>(present)));
    return {{_mm_load_ps(r)}, {_mm_load_ps(g)}, {_mm_load_ps(b)}};
}

// A bright reflection pushes the base colour towards white, a dim one darkens it.
CLanes Reflected(CLanes g, CLanes base) {
    const CLanes one = Splat(1.0f);
    return Select(_mm_cmple_ps(g.v, one.v), g * base,
                  base + Splat(4.0f) * (g - one) * (one - base));
}

// ToByte of the component whose c * 255 + 0.5 is `w`: floor(w) kept within 0..255.
uint8_t ByteOf(float w) {
    if (!(w >= 1.0f)) {
        return 0;  // also NaN
    }
    return w >= 255.0f ? 255 : static_cast<uint8_t>(static_cast<int>(w));
}

}  // namespace

void CShadingBatch::Flush(CShadingContext& ctx) {
    const CProjectionCentre& centre = ctx.projectionCentre;
    for (int at = 0; at < m_count; at += 4) {
        // Lanes past the queue repeat its first entry and are not stored.
        const CEntry* e[4];
        for (int i = 0; i < 4; ++i) {
            e[i] = &m_entries[static_cast<std::size_t>(at + i < m_count ? at + i : at)];
        }
        const CVector3* normals[4] = {&e[0]->normal, &e[1]->normal, &e[2]->normal, &e[3]->normal};
        const CRenderMaterial* materials[4] = {e[0]->material, e[1]->material, e[2]->material,
                                               e[3]->material};
        const CLaneMaterials m = GatherMaterials(materials);

        // The pixel shader's normal, then the light's: turned to the viewer and normalised again.
        CLanes3 n = Normalized(Gather3(normals));
        n = Select3(_mm_cmplt_ps(n.z.v, Splat(0.0f).v), Scaled(n, Splat(-1.0f)), n);
        n = Normalized(n);
        const CLanes3 light = Splat3(kLightDirection);
        const CLanes nl = Dot(n, light);
        const CLanes diffuse = {
            _mm_and_ps(_mm_cmpgt_ps(nl.v, Splat(0.0f).v), Min(nl, Splat(1.0f)).v)};
        const CLanes highlight = HighlightRamp(Splat(2.0f) * nl * n.z - light.z, m.threshold);

        // The viewer's direction mirrored about the normal.
        const CLanes3 eye = {
            CLanes{_mm_cvtepi32_ps(
                _mm_setr_epi32(e[0]->column, e[1]->column, e[2]->column, e[3]->column))} -
                Splat(centre.centreColumn),
            (Splat(static_cast<float>(m_row)) - Splat(centre.centreRow)) *
                Splat(centre.verticalSign),
            Splat(8.0f * centre.focalDistance) -
                CLanes{_mm_setr_ps(e[0]->depth, e[1]->depth, e[2]->depth, e[3]->depth)}};
        const CLanes3 unitEye = Normalized(eye);
        const CLanes twice = Splat(2.0f) * Dot(n, unitEye);
        const CLanes3 mirror = {unitEye.x * twice - n.x, unitEye.y * twice - n.y,
                                unitEye.z * twice - n.z};

        // Lit colour; where a reflection map is, it replaces the lit colour.
        const CLanes3 lit = Scaled(m.base, diffuse);
        CLanes3 colour =
            Screen3(Scaled(m.highlight, highlight),
                    {Max(lit.x, m.ambient.x), Max(lit.y, m.ambient.y), Max(lit.z, m.ambient.z)});
        const BmpImage* reflections[4] = {materials[0]->reflectionMap, materials[1]->reflectionMap,
                                          materials[2]->reflectionMap, materials[3]->reflectionMap};
        const CTexelMap* reflectionTexels[4] = {
            materials[0]->reflectionTexels, materials[1]->reflectionTexels,
            materials[2]->reflectionTexels, materials[3]->reflectionTexels};
        __m128 reflecting;
        const CLanes3 g =
            Scaled(SampleAlongMirror(reflections, reflectionTexels, mirror, -1.0f, reflecting),
                   Splat(1.2f));
        colour = Select3(
            reflecting,
            {Reflected(g.x, m.base.x), Reflected(g.y, m.base.y), Reflected(g.z, m.base.z)}, colour);
        const BmpImage* glosses[4] = {materials[0]->glossMap, materials[1]->glossMap,
                                      materials[2]->glossMap, materials[3]->glossMap};
        const CTexelMap* glossTexels[4] = {materials[0]->glossTexels, materials[1]->glossTexels,
                                           materials[2]->glossTexels, materials[3]->glossTexels};
        __m128 glossy;
        const CLanes3 h = SampleAlongMirror(glosses, glossTexels, mirror, 1.0f, glossy);
        colour = Select3(glossy, Screen3(h, colour), colour);

        const CLanes scale = Splat(255.0f);
        const CLanes half = Splat(0.5f);
        const CLanes3 w = {colour.x * scale + half, colour.y * scale + half,
                           colour.z * scale + half};
        alignas(16) float red[4];
        alignas(16) float green[4];
        alignas(16) float blue[4];
        _mm_store_ps(red, w.x.v);
        _mm_store_ps(green, w.y.v);
        _mm_store_ps(blue, w.z.v);
        for (int i = 0; i < 4 && at + i < m_count; ++i) {
            uint8_t* pixel = e[i]->pixel;
            pixel[2] = ByteOf(red[i]);
            pixel[1] = ByteOf(green[i]);
            pixel[0] = ByteOf(blue[i]);
        }
    }
    m_count = 0;
}

#else

// Without four-lane arithmetic each fragment is shaded alone.
void CShadingBatch::Flush(CShadingContext& ctx) {
    for (int i = 0; i < m_count; ++i) {
        const CEntry& e = m_entries[static_cast<std::size_t>(i)];
        CShadingInputs inputs;
        inputs.normal = e.normal;
        ctx.projectionCentre.fragmentDepth = e.depth;
        ShadePixel(ctx, *e.material, e.pixel, e.column, m_row, inputs);
    }
    m_count = 0;
}

#endif

}  // namespace orva
