#include "view/view_camera.h"

#include <algorithm>
#include <utility>

#include "platform/interrupt.h"
#include "view/frame_context.h"

namespace orva {

namespace {

// SetAxes arguments (rx, ry, rz, sx, sy, sz) of the standard views 0..6.
constexpr int kStandardAxes[7][6] = {
    {0, 2, 1, 1, 1, -1}, {0, 2, 1, 1, 1, -1},  {1, 2, 0, 1, 1, 1},   {0, 1, 2, 1, 1, 1},
    {0, 2, 1, -1, 1, 1}, {1, 2, 0, -1, 1, -1}, {0, 1, 2, -1, 1, -1},
};

}  // namespace

CViewCamera::CViewCamera(int records) : m_records(static_cast<size_t>(std::max(records, 1))) {}

CViewCamera::~CViewCamera() = default;

void CViewCamera::ClearRepaint() {
    repaintUnionSet = false;
    for (CViewport& v : m_records) {
        v.ClearRepaint();
    }
}

void CViewCamera::AddRepaintRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (!repaintUnionSet) {
        repaintUnion = {left, top, right, bottom};
        repaintUnionSet = true;
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

void CViewCamera::ApplyView(CFrameContext& frame) {
    CurrentViewport().Apply(frame);
}

void CViewCamera::SetStandardView(int index) {
    if (index >= 0 && index <= 6) {
        const int* a = kStandardAxes[index];
        CurrentViewport().SetAxes(a[0], a[1], a[2], a[3], a[4], a[5]);
    }
    m_records[0].zoom = 1.0f;
    m_records[0].Zoom(1.0f);
}

void CViewCamera::Redraw(CFrameContext& frame) {
    frame.Interrupt().Reset();
    ApplyView(frame);
    if (frame.painter) {
        frame.painter(frame);
    }
    ClearRepaint();
}

}  // namespace orva
