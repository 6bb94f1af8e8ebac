#include "view/on_screen.h"

#include <algorithm>

#include "scene/scene_object.h"
#include "view/frame_context.h"
#include "view/view_camera.h"

namespace orva {

namespace {

// Pixels the projected box is widened by. The wireframe is generous to the right and upward,
// where labels and point markers reach beyond the geometry.
struct CMargins {
    float left, right, up, down;
};

CMargins MarginsFor(EDisplayMode displayMode) {
    if (displayMode == kModeWireframe) {
        return {10, 50, 50, 10};
    }
    return {2, 2, 2, 2};
}

}  // namespace

CScreenRect ProjectedBox(const CSceneObject& object, const CMatrix4& window) {
    CVector3 lo;
    CVector3 hi;
    object.GetBounds(lo, hi, CMatrix4::Identity());
    CScreenRect box{1e30f, 1e30f, -1e30f, -1e30f};
    for (int corner = 0; corner < 8; ++corner) {
        const CVector3 p((corner & 1) ? hi.x : lo.x, (corner & 2) ? hi.y : lo.y,
                         (corner & 4) ? hi.z : lo.z);
        const CVector3 q = TransformPoint(p, window);
        box.left = std::min(box.left, q.x);
        box.right = std::max(box.right, q.x);
        box.top = std::min(box.top, q.y);
        box.bottom = std::max(box.bottom, q.y);
    }
    return box;
}

bool IsOnScreenIn(const CSceneObject& object, const CMatrix4& window, const CScreenRect& rect,
                  EDisplayMode displayMode) {
    if (object.GetTypeId() == kTypeRefPlane) {
        return true;
    }
    return IsOnScreenIn(object, ProjectedBox(object, window), rect, displayMode);
}

bool IsOnScreenIn(const CSceneObject& object, const CScreenRect& box, const CScreenRect& rect,
                  EDisplayMode displayMode) {
    if (object.GetTypeId() == kTypeRefPlane) {
        return true;
    }
    const CMargins m = MarginsFor(displayMode);
    return box.left - m.left < rect.right && box.top - m.up < rect.bottom &&
           box.right + m.right > rect.left && box.bottom + m.down > rect.top;
}

bool IsOnScreen(const CFrameContext& frame, const CSceneObject& object) {
    const CViewCamera& camera = frame.Camera();
    const CViewport& v = camera.CurrentViewport();
    const bool partial = v.repaintSet;
    CScreenRect rect;
    rect.left = static_cast<float>(partial ? v.repaintLeft : v.x);
    rect.top = static_cast<float>(partial ? v.repaintTop : v.y);
    rect.right = static_cast<float>(partial ? v.repaintRight : v.x + v.width);
    rect.bottom = static_cast<float>(partial ? v.repaintBottom : v.y + v.height);
    return IsOnScreenIn(object, frame.WindowMatrix(), rect, camera.displayMode);
}

}  // namespace orva
