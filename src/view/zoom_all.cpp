#include "view/zoom_all.h"

#include <algorithm>
#include <cmath>

#include "scene/scene_file.h"
#include "scene/scene_object.h"
#include "view/view_camera.h"

namespace orva {

namespace {

// The camera's whole scene; none when it has none.
CSceneRange CameraScene(const CViewCamera& camera) {
    return camera.scene != nullptr ? WholeScene(*camera.scene) : CSceneRange{};
}

// The Zoom All box of the range's top-level objects; inverted when nothing was measured.
void SceneBox(const CSceneRange& scene, CVector3& min, CVector3& max) {
    min = CVector3(1e32f, 1e32f, 1e32f);
    max = CVector3(-1e32f, -1e32f, -1e32f);
    for (const CSceneObject* o = scene.first; o != nullptr && o != scene.stop; o = o->next) {
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

// Steps of the turn at which the box is measured: every frame of a turntable of up to
// 720 frames falls on one, and between them the box turns too little to matter.
constexpr int kTurnSteps = 720;

// How far past the viewport's edge, as a fraction, a corner may lie and still count as shown.
constexpr float kFitSlack = 1.0001f;

}  // namespace

float WholeTurnZoom(const CViewCamera& camera, const CMatrix4& beforeTurn, float elevation) {
    CVector3 min;
    CVector3 max;
    SceneBox(CameraScene(camera), min, max);
    const CViewport& current = camera.CurrentViewport();
    const CVector3 centre = (min + max) * 0.5f;
    const CVector3 half = max - centre;
    if (!(std::max({half.x, half.y, half.z}) >= 0.001f) || current.height <= 0) {
        return current.zoom;
    }
    float extentX = 0.0f;  // largest half extents seen, in view units
    float extentY = 0.0f;
    CViewport v = current;
    for (int step = 0; step < kTurnSteps; ++step) {
        v.view = beforeTurn;
        v.Rotate(1, 360.0 * step / kTurnSteps);
        v.Rotate(0, elevation);
        v.view[12] = v.view[13] = v.view[14] = 0.0f;
        for (int corner = 0; corner < 8; ++corner) {
            const CVector3 offset((corner & 1 ? 1.0f : -1.0f) * half.x,
                                  (corner & 2 ? 1.0f : -1.0f) * half.y,
                                  (corner & 4 ? 1.0f : -1.0f) * half.z);
            const CVector3 seen = TransformPoint(offset, v.view);
            extentX = std::max(extentX, std::fabs(seen.x));
            extentY = std::max(extentY, std::fabs(seen.y));
        }
    }
    // The visible half height is viewSize / zoom, the half width that times the aspect.
    const float aspect = static_cast<float>(current.width) / static_cast<float>(current.height);
    const float byHeight = extentY > 0.0f ? v.viewSize / extentY : 1e30f;
    const float byWidth = extentX > 0.0f ? v.viewSize * aspect / extentX : 1e30f;
    return std::min(byHeight, byWidth);
}

void ZoomAll(CViewCamera& camera) {
    ZoomAll(camera, CameraScene(camera));
}

void ZoomAll(CViewCamera& camera, const CSceneRange& scene) {
    CVector3 min;
    CVector3 max;
    SceneBox(scene, min, max);

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

bool SceneFitsView(const CViewCamera& camera) {
    CVector3 min;
    CVector3 max;
    SceneBox(CameraScene(camera), min, max);
    const CViewport& v = camera.CurrentViewport();
    if (!(max.x >= min.x) || v.width <= 0 || v.height <= 0 || !(v.zoom > 0.0f)) {
        return true;
    }
    // Half the visible height and width in view units; a hair of slack so that a box fitted
    // exactly by Zoom All is not fitted again for the rounding of its corners.
    const float halfHeight = v.viewSize / v.zoom * kFitSlack;
    const float halfWidth = halfHeight * static_cast<float>(v.width) / static_cast<float>(v.height);
    for (int corner = 0; corner < 8; ++corner) {
        const CVector3 point(corner & 1 ? max.x : min.x, corner & 2 ? max.y : min.y,
                             corner & 4 ? max.z : min.z);
        const CVector3 seen = TransformPoint(point, v.view);
        if (std::fabs(seen.x) > halfWidth || std::fabs(seen.y) > halfHeight) {
            return false;
        }
    }
    return true;
}

bool ZoomAllWhenCutOff(CViewCamera& camera) {
    if (SceneFitsView(camera)) {
        return false;
    }
    ZoomAll(camera);
    return true;
}

void ZoomAllToShorterSide(CViewCamera& camera, const CSceneRange& scene) {
    ZoomAll(camera, scene);
    // The visible width is the height times the aspect, so a narrow view zooms out by it.
    CViewport& v = camera.CurrentViewport();
    if (v.width > 0 && v.width < v.height) {
        v.zoom *= static_cast<float>(v.width) / static_cast<float>(v.height);
    }
}

void LeaveMargin(CViewport& view, float percent) {
    view.zoom *= 1.0f - 2.0f * std::clamp(percent, 0.0f, 45.0f) / 100.0f;
}

void ResetView(CViewCamera& camera) {
    camera.SetStandardView(camera.standardView);
    const CViewport& v = camera.CurrentViewport();
    camera.AddRepaintRect(v.x, v.y, v.x + v.width, v.y + v.height);
}

}  // namespace orva
