#include "view/viewport.h"

#include <algorithm>
#include <cmath>

#include "view/frame_context.h"

namespace orva {

void CViewport::SetAxes(int rx, int ry, int rz, int sx, int sy, int sz) {
    view = CMatrix4::Zero();
    view.At(rx, 0) = static_cast<float>(sx);
    view.At(ry, 1) = static_cast<float>(sy);
    view.At(rz, 2) = static_cast<float>(sz);
    view.At(3, 3) = 1.0f;
}

void CViewport::Rotate(int axis, double degrees) {
    const int i = (axis + 1) % 3;
    const int j = (axis + 2) % 3;
    const double angle = degrees * 0.017453292519943295;
    CMatrix4 r;
    r.At(i, i) = static_cast<float>(std::cos(angle));
    r.At(j, j) = static_cast<float>(std::cos(angle));
    r.At(i, j) = static_cast<float>(std::sin(angle));
    r.At(j, i) = static_cast<float>(-std::sin(angle));
    MultiplyInPlace(view, r);
}

void CViewport::Zoom(float factor) {
    if ((zoom < kMinZoom && factor < 1.0f) || (zoom > kMaxZoom && factor > 1.0f)) {
        return;
    }
    zoom = zoom * factor;
}

void CViewport::SetRect(int32_t left, int32_t top, int32_t w, int32_t h) {
    x = left;
    y = top;
    width = w;
    height = h;
}

bool CViewport::Overlaps(int32_t left, int32_t top, int32_t right, int32_t bottom) const {
    return !(left >= x + width || x >= right || top >= y + height || y >= bottom);
}

void CViewport::AddRepaintRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    const bool overlaps = Overlaps(left, top, right, bottom);
    if (!repaintSet) {
        repaintSet = true;
        if (!overlaps) {
            repaintLeft = repaintTop = repaintRight = repaintBottom = 0;
            return;
        }
    } else if (!overlaps) {
        return;
    } else if (!RepaintEmpty()) {
        left = std::min(left, repaintLeft);
        top = std::min(top, repaintTop);
        right = std::max(right, repaintRight);
        bottom = std::max(bottom, repaintBottom);
    }
    repaintLeft = left;
    repaintTop = top;
    repaintRight = right;
    repaintBottom = bottom;
}

void CViewport::Apply(CFrameContext& frame) {
    frame.SetViewport(x, y, width, height);
    frame.SetProjection(width, height, static_cast<double>(zoom) / viewSize);
    frame.LoadView(view);
    if (repaintSet) {
        ClipRepaint();
        frame.SetScissor(repaintLeft, repaintTop, repaintRight - repaintLeft,
                         repaintBottom - repaintTop);
    }
}

void CViewport::ClipRepaint() {
    repaintLeft = std::max(repaintLeft, x);
    repaintRight = std::min(repaintRight, x + width);
    repaintTop = std::max(repaintTop, y);
    repaintBottom = std::min(repaintBottom, y + height);
}

CMatrix4 CViewport::WindowMatrix() const {
    return Multiply(view,
                    ViewportWindowMatrix(width, height, static_cast<double>(zoom) / viewSize));
}

}  // namespace orva
