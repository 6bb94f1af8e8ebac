#include "view/view_camera.h"

#include <algorithm>
#include <utility>

#include "view/display_state.h"
#include "view/interrupt.h"

namespace orva {

namespace {

CViewCamera* g_currentCamera = nullptr;

ViewPainter& Painter() {
    static ViewPainter painter;
    return painter;
}

// SetAxes arguments (rx, ry, rz, sx, sy, sz) of the standard views 0..6.
constexpr int kStandardAxes[7][6] = {
    {0, 2, 1, 1, 1, -1}, {0, 2, 1, 1, 1, -1},  {1, 2, 0, 1, 1, 1},   {0, 1, 2, 1, 1, 1},
    {0, 2, 1, -1, 1, 1}, {1, 2, 0, -1, 1, -1}, {0, 1, 2, -1, 1, -1},
};

}  // namespace

int InteractiveDraw = 0;

CViewCamera::CViewCamera(int records) : m_records(static_cast<size_t>(std::max(records, 1))) {}

CViewCamera::~CViewCamera() {
    if (g_currentCamera == this) {
        g_currentCamera = nullptr;
    }
}

void CViewCamera::ClearRepaint() {
    repaintUnionSet = 0;
    for (CViewport& v : m_records) {
        v.ClearRepaint();
    }
}

void CViewCamera::AddRepaintRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (repaintUnionSet == 0) {
        repaintUnion = {left, top, right, bottom};
        repaintUnionSet = 1;
    } else {
        repaintUnion = {std::min(left, repaintUnion[0]), std::min(top, repaintUnion[1]),
                        std::max(right, repaintUnion[2]), std::max(bottom, repaintUnion[3])};
    }
    for (CViewport& v : m_records) {
        v.AddRepaintRect(left, top, right, bottom);
    }
}

void CViewCamera::SetViewportRect(int32_t x, int32_t y, int32_t width, int32_t height) {
    viewportRect = {x, y, width, height};
    for (CViewport& v : m_records) {
        v.SetRect(x, y, width, height);
    }
}

void CViewCamera::ApplyView() {
    CurrentViewport().Apply();
}

void CViewCamera::SetStandardView(int index) {
    if (index >= 0 && index <= 6) {
        const int* a = kStandardAxes[index];
        CurrentViewport().SetAxes(a[0], a[1], a[2], a[3], a[4], a[5]);
    }
    m_records[0].zoom = 1.0f;
    m_records[0].Zoom(1.0f);
}

void CViewCamera::Redraw() {
    ResetInterrupt();
    CViewCamera* previous = SetCurrentCamera(this);
    ApplyView();
    if (Painter()) {
        Painter()();
    }
    SetCurrentCamera(previous);
    ClearRepaint();
}

CViewCamera* SetCurrentCamera(CViewCamera* camera) {
    CViewCamera* previous = g_currentCamera;
    if (camera == previous) {
        return previous;
    }
    g_currentCamera = camera;
    if (camera != nullptr && camera->scene != nullptr) {
        SetActiveScene(*camera->scene);
    } else if (camera != nullptr) {
        ActiveSceneRange() = CSceneRange{};  // a camera without a scene shows nothing
    }
    return previous;
}

CViewCamera* CurrentCamera() {
    return g_currentCamera;
}

ViewPainter SetViewPainter(ViewPainter painter) {
    return std::exchange(Painter(), std::move(painter));
}

}  // namespace orva
