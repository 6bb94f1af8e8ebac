#include "view/on_screen.h"

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

bool IsOnScreenIn(const CSceneObject& object, const CMatrix4& window, const CScreenRect& rect,
                  EDisplayMode displayMode) {
    if (object.GetTypeId() == kTypeRefPlane) {
        return true;
    }
    CVector3 lo;
    CVector3 hi;
    object.GetBounds(lo, hi, CMatrix4::Identity());
    float minX = 1e30f, minY = 1e30f, maxX = -1e30f, maxY = -1e30f;
    for (int corner = 0; corner < 8; ++corner) {
        const CVector3 p((corner & 1) ? hi.x : lo.x, (corner & 2) ? hi.y : lo.y,
                         (corner & 4) ? hi.z : lo.z);
        const CVector3 q = TransformPoint(p, window);
        minX = std::min(minX, q.x);
        maxX = std::max(maxX, q.x);
        minY = std::min(minY, q.y);
        maxY = std::max(maxY, q.y);
    }
    const CMargins m = MarginsFor(displayMode);
    return minX - m.left < rect.right && minY - m.up < rect.bottom && maxX + m.right > rect.left &&
           maxY + m.down > rect.top;
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
