#include "render/csg/leaf_view.h"

#include "render/csg/csg_context.h"
#include "render/csg/project_point.h"

namespace orva {

CLeafView CaptureLeafView(const CCsgContext& ctx, EShading shadingMode) {
    CLeafView view;
    view.projection = ProjectionMatrix(ctx);
    view.eye = ctx.modelStack.Top();
    view.shadingMode = shadingMode;
    view.firstRow = ctx.renderRect.y0;
    view.lastRow = ctx.renderRect.y1;
    return view;
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
