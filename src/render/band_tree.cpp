#include "render/band_tree.h"

#include "render/csg/csg_plan.h"
#include "render/object_boxes.h"
#include "render/render_scene.h"
#include "render/render_tree.h"
#include "view/display_colours.h"
#include "view/on_screen.h"

namespace orva {

void PrepareContext(CRenderContext& ctx, const CRenderRequest& r) {
    ctx.shadingModeSwitch = r.shading;
    ctx.interrupt = r.interrupt;
    ctx.tessellation = r.tessellation;
    // From the whole viewport, never the repaint, so that a repainted part matches.
    ctx.projectionCentre.centreColumn = static_cast<float>(r.viewportX + r.viewportWidth / 2);
    ctx.projectionCentre.centreRow = static_cast<float>(r.viewportY + r.viewportHeight / 2);
    ctx.projectionCentre.verticalSign = -1.0f;
    ctx.projectionCentre.focalDistance = static_cast<float>(r.viewportHeight / 2);
    // Surfaces over black give the colours a coverage divides back out.
    ctx.coverage = r.coverage;
    const uint32_t rgb = r.coverage ? 0u : r.background.value_or(DisplayGrey());
    ctx.background[0] = static_cast<uint8_t>(rgb);
    ctx.background[1] = static_cast<uint8_t>(rgb >> 8);
    ctx.background[2] = static_cast<uint8_t>(rgb >> 16);
    ctx.renderTransform = Multiply(Inverse(r.view), r.windowMatrix);
}

CBandTree::CBandTree(CRenderContext& ctx, const CRenderRequest& r, const CRenderRect& rect,
                     const CObjectBoxes* boxes)
    : m_ctx(ctx), m_push(ctx.modelStack) {
    PrepareContext(ctx, r);
    ctx.renderRect = rect;
    ctx.modelStack.SetTop(r.view);
    const CScreenRect screen{static_cast<float>(rect.x0), static_cast<float>(rect.y0),
                             static_cast<float>(rect.x1 + 1), static_cast<float>(rect.y1 + 1)};
    const CMatrix4 window = r.windowMatrix;
    const VisibilityTest visible = [window, screen, boxes](const CSceneObject& object) {
        const CScreenRect* box = boxes != nullptr ? boxes->Find(object) : nullptr;
        return box != nullptr ? IsOnScreenIn(object, *box, screen, kModeRendered)
                              : IsOnScreenIn(object, window, screen, kModeRendered);
    };
    if (r.plan != nullptr) {
        m_tree = BuildRenderTree(ctx, *r.plan, visible);
    } else {
        m_tree = BuildRenderTree(ctx, MakeCsgPlan(r.first, r.stop), visible);
    }
}

CBandTree::~CBandTree() {
    ReleaseRenderTree(m_ctx, std::move(m_tree));
}

}  // namespace orva
