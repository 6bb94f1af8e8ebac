#include "render/leaf_view.h"

#include <cmath>

#include "render/project_point.h"
#include "render/render_context.h"

namespace orva {

CLeafView CaptureLeafView(const CRenderContext& ctx) {
    CLeafView view;
    view.projection = ProjectionMatrix(ctx);
    view.eye = ctx.modelStack.Top();
    view.shadingMode = ctx.shadingModeSwitch;
    view.firstRow = ctx.renderRect.y0;
    view.lastRow = ctx.renderRect.y1;
    return view;
}

CVector3 TransformDirection(CVector3 d, const CMatrix4& m) {
    CVector3 out;
    for (int c = 0; c < 3; ++c) {
        out[c] = d.x * m.At(0, c) + d.y * m.At(1, c) + d.z * m.At(2, c);
    }
    return out;
}

bool IsFinitePoint(CVector3 p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

CScanVertex ProjectedVertex(CVector3 p, const CLeafView& view) {
    CScanVertex v;
    ProjectInto(v, p, view);
    return v;
}

void ProjectInto(CScanVertex& v, CVector3 p, const CLeafView& view) {
    const CVector3 window = ProjectPoint(p, view.projection);
    v.x = window.x;
    v.y = window.y;
    v.z = window.z;
}

}  // namespace orva
