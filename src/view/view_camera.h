#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "scene/display_mode.h"
#include "scene/scene_file.h"
#include "view/viewport.h"

namespace orva {

class CFrameContext;

// Half the visible height in model units at zoom 1.
inline constexpr float kViewSize = 25.0f;

// The viewing context: the scene it shows, its viewports (the view window has one), the
// display mode and the state of navigation.
class CViewCamera {
public:
    explicit CViewCamera(int records = 1);
    virtual ~CViewCamera();
    CViewCamera(const CViewCamera&) = delete;
    CViewCamera& operator=(const CViewCamera&) = delete;

    // The union of repaint rectangles and every record's pending repaint are forgotten.
    virtual void ClearRepaint();
    virtual void AddRepaintRect(int32_t left, int32_t top, int32_t right, int32_t bottom);
    virtual void SetViewportRect(int32_t x, int32_t y, int32_t width, int32_t height);
    // Hands the current viewport to the frame.
    virtual void ApplyView(CFrameContext& frame);
    virtual void Notify(int, int) {}
    // Attaches the scene to show; the base camera shows none.
    virtual void AttachScene() { scene = nullptr; }
    virtual void InvalidateViewport() {}

    CViewport& CurrentViewport() { return m_records[m_current]; }
    const CViewport& CurrentViewport() const { return m_records[m_current]; }
    CViewport& Record(int i) { return m_records[static_cast<size_t>(i)]; }
    int RecordCount() const { return static_cast<int>(m_records.size()); }

    // Loads a standard view (0..6) into the current viewport with zoom 1 and no pan; the
    // standard-view index itself is left to the caller.
    void SetStandardView(int index);
    // The one way a picture is made: reset the frame's interrupt, apply the view to the frame,
    // draw through the frame's painter, clear repaint. The frame draws this camera.
    void Redraw(CFrameContext& frame);

    CSceneAnchor* scene = nullptr;  // not owned
    int32_t standardView = 0;       // 0: turned by hand; 1..6: the standard view last loaded
    int32_t buttons = 0;            // bit 0 left, bit 1 right button held in the view
    std::array<int32_t, 4> viewportRect{};
    std::array<int32_t, 4> repaintUnion{};
    bool repaintUnionSet = false;
    EDisplayMode displayMode = kModeWireframe;
    float viewSize = kViewSize;

private:
    std::vector<CViewport> m_records;
    size_t m_current = 0;
};

}  // namespace orva
