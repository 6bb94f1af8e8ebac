#include "render/csg/scan_records.h"

#include "render/csg/span_setup.h"

#include "render/shading/lighting.h"
#include "render/shading/render_material.h"

namespace orva {

namespace {

struct CSelection {
    bool colour = false;
    bool textureCoordinates = false;
    bool surfacePoint = false;
    bool normal = false;
    bool tangents = false;
};

// Interpolating only what the shader reads keeps the per-pixel work small. Without a material
// the per-pixel mode still carries the normal, which every shader reads.
CSelection Select(const CRenderMaterial* material, EShading shadingMode) {
    CSelection s;
    if (shadingMode == EShading::kVertexColours) {
        s.colour = true;
        return s;
    }
    s.normal = true;
    if (material != nullptr) {
        s.textureCoordinates = material->needsTextureCoordinates;
        s.surfacePoint = material->needsSurfacePoint;
        s.tangents = material->needsTangents;
    }
    return s;
}

void Between(float& value, float& step, float a, float b, float inv, float f) {
    step = (b - a) * inv;
    value = a + step * f;
}

void Between(CVector3& value, CVector3& step, CVector3 a, CVector3 b, float inv, float f) {
    for (int i = 0; i < 3; ++i) {
        Between(value[i], step[i], a[i], b[i], inv, f);
    }
}

CVector3 At(CVector3 value, CVector3 step, float t) {
    return {value.x + step.x * t, value.y + step.y * t, value.z + step.z * t};
}

}  // namespace

CInterpolation InterpolatedAt(const CInterpolation& a, float t, EShading shadingMode) {
    CInterpolation r;
    r.material = a.material;
    const CSelection s = Select(a.material, shadingMode);
    if (s.colour) {
        r.colour = At(a.colour, a.colourStep, t);
    }
    if (s.textureCoordinates) {
        r.u = a.u + a.uStep * t;
        r.v = a.v + a.vStep * t;
    }
    if (s.surfacePoint) {
        r.point = At(a.point, a.pointStep, t);
    }
    if (s.normal) {
        r.normal = At(a.normal, a.normalStep, t);
    }
    if (s.tangents) {
        r.tangentU = At(a.tangentU, a.tangentUStep, t);
        r.tangentV = At(a.tangentV, a.tangentVStep, t);
    }
    return r;
}

CInterpolation FragmentValues(const CFragment& fragment, int column, EShading shadingMode) {
    const CSpan& span =
        fragment.span != nullptr ? *fragment.span : ShadedSpan(*fragment.rowSpan, shadingMode);
    return InterpolatedAt(span.values, static_cast<float>(column) - span.originX, shadingMode);
}

CVector3 FragmentNormal(const CFragment& fragment, int column) {
    const CSpan& span = fragment.span != nullptr
                            ? *fragment.span
                            : ShadedSpan(*fragment.rowSpan, EShading::kPerPixel);
    return At(span.values.normal, span.values.normalStep,
              static_cast<float>(column) - span.originX);
}

void InterpolateAcross(CInterpolation& r, const CInterpolation& a, float ta,
                       const CInterpolation& b, float tb, float inv, EShading shadingMode) {
    const CSelection s = Select(r.material, shadingMode);
    if (s.colour) {
        Between(r.colour, r.colourStep, At(a.colour, a.colourStep, ta),
                At(b.colour, b.colourStep, tb), inv, 0.0f);
    }
    if (s.textureCoordinates) {
        Between(r.u, r.uStep, a.u + a.uStep * ta, b.u + b.uStep * tb, inv, 0.0f);
        Between(r.v, r.vStep, a.v + a.vStep * ta, b.v + b.vStep * tb, inv, 0.0f);
    }
    if (s.surfacePoint) {
        Between(r.point, r.pointStep, At(a.point, a.pointStep, ta), At(b.point, b.pointStep, tb),
                inv, 0.0f);
    }
    if (s.normal) {
        Between(r.normal, r.normalStep, At(a.normal, a.normalStep, ta),
                At(b.normal, b.normalStep, tb), inv, 0.0f);
    }
    if (s.tangents) {
        Between(r.tangentU, r.tangentUStep, At(a.tangentU, a.tangentUStep, ta),
                At(b.tangentU, b.tangentUStep, tb), inv, 0.0f);
        Between(r.tangentV, r.tangentVStep, At(a.tangentV, a.tangentVStep, ta),
                At(b.tangentV, b.tangentVStep, tb), inv, 0.0f);
    }
}

void InterpolateVertices(CInterpolation& r, const CScanVertex& p, const CScanVertex& q, float inv,
                         EShading shadingMode) {
    const CSelection s = Select(r.material, shadingMode);
    if (s.colour) {
        static const CRenderMaterial kDefault;
        const CRenderMaterial& material = r.material != nullptr ? *r.material : kDefault;
        const CVector3 a = LightVertex(material, p.normal);
        const CVector3 b = &q == &p ? a : LightVertex(material, q.normal);
        Between(r.colour, r.colourStep, a, b, inv, 0.0f);
    }
    if (s.textureCoordinates) {
        Between(r.u, r.uStep, p.u, q.u, inv, 0.0f);
        Between(r.v, r.vStep, p.v, q.v, inv, 0.0f);
    }
    if (s.surfacePoint) {
        Between(r.point, r.pointStep, p.point, q.point, inv, 0.0f);
    }
    if (s.normal) {
        Between(r.normal, r.normalStep, p.normal, q.normal, inv, 0.0f);
    }
    if (s.tangents) {
        Between(r.tangentU, r.tangentUStep, p.tangentU, q.tangentU, inv, 0.0f);
        Between(r.tangentV, r.tangentVStep, p.tangentV, q.tangentV, inv, 0.0f);
    }
}

}  // namespace orva
