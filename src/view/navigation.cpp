#include "view/navigation.h"

#include <cmath>

#include "view/view_camera.h"

namespace orva {

EGesture ChooseGesture(CViewCamera& camera, bool left, bool right, bool ctrl) {
    if (camera.standardView != 0 && ((left && !ctrl) || (right && ctrl))) {
        camera.standardView = 0;
    }
    if (camera.standardView != 0 || (left && ctrl) || (right && !ctrl)) {
        return right ? EGesture::kZoom : EGesture::kPan;
    }
    return right ? EGesture::kRoll : EGesture::kRotate;
}

void ApplyGesture(CViewport& v, EGesture gesture, float dx, float dy) {
    const float x = dx / static_cast<float>(v.height) * 100.0f;
    const float y = dy / static_cast<float>(v.height) * 100.0f;
    switch (gesture) {
        case EGesture::kRotate:
            v.Rotate(0, y);
            v.Rotate(1, x);
            break;
        case EGesture::kRoll:
            v.Rotate(2, std::fabs(y) < std::fabs(x) ? x : y);
            break;
        case EGesture::kZoom: {
            const float ex = 0.05f * dx;
            const float ey = 0.05f * dy;
            const float e = std::fabs(ey) < std::fabs(ex) ? ex : -ey;
            v.Zoom(static_cast<float>(std::pow(static_cast<double>(1.1f), static_cast<double>(e))));
            break;
        }
        case EGesture::kPan: {
            const float s = 2.0f * v.viewSize / static_cast<float>(v.height) / v.zoom;
            v.view.At(3, 0) += dx * s;
            v.view.At(3, 1) -= dy * s;
            break;
        }
    }
}

void ApplyWheel(CViewCamera& camera, int notches, bool ctrl) {
    if (ctrl) {
        camera.standardView = 0;
        camera.CurrentViewport().Rotate(2, 10.0 * notches);
        return;
    }
    const double step = notches >= 0 ? std::pow(1.1, notches) : 1.0 / std::pow(1.1, -notches);
    camera.CurrentViewport().Zoom(static_cast<float>(step));
}

}  // namespace orva
