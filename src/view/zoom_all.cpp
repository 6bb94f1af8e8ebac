#include "view/zoom_all.h"

#include <algorithm>

#include "scene/scene_file.h"
#include "scene/scene_object.h"
#include "view/view_camera.h"

namespace orva {

namespace {

// The Zoom All box of the scene's top-level objects; inverted when nothing was measured.
void SceneBox(const CSceneAnchor* scene, CVector3& min, CVector3& max) {
    min = CVector3(1e32f, 1e32f, 1e32f);
    max = CVector3(-1e32f, -1e32f, -1e32f);
    if (scene == nullptr) {
        return;
    }
    for (const CSceneObject* o = scene->first; o != nullptr; o = o->next) {
        const CSceneObject& object = *o;
        if (!object.IsShown() || object.GetTypeId() == kTypeRefPlane) {
            continue;
        }
        CVector3 lo;
        CVector3 hi;
        ResetBounds(lo, hi);
        object.GetBounds(lo, hi, CMatrix4::Identity());
        MergeBounds(min, max, lo, hi);
    }
}

}  // namespace

void ZoomAll(CViewCamera& camera) {
    CVector3 min;
    CVector3 max;
    SceneBox(camera.scene, min, max);

    const CVector3 centre = (min + max) * 0.5f;
    float g = std::max({max.x - centre.x, max.y - centre.y, max.z - centre.z});
    CViewport& v = camera.CurrentViewport();
    if (!(g >= 0.001f)) {
        g = v.viewSize;
    }
    v.zoom = 1.0f / (g / v.viewSize);
    v.Zoom(1.0f);
    v.view[12] = v.view[13] = v.view[14] = 0.0f;
    const CVector3 pan = TransformPoint(centre * -1.0f, v.view);
    v.view[12] = pan.x;
    v.view[13] = pan.y;
    v.view[14] = pan.z;
}

void ResetView(CViewCamera& camera) {
    camera.SetStandardView(camera.standardView);
    const CViewport& v = camera.CurrentViewport();
    camera.AddRepaintRect(v.x, v.y, v.x + v.width, v.y + v.height);
}

}  // namespace orva
