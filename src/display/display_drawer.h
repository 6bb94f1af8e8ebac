#pragma once

#include "scene/object_drawer.h"

namespace orva {

class CFrameContext;
class CTessellationCache;

// How objects draw themselves inside an OpenGL frame: curves, surfaces and polygon meshes as
// wireframe below the shaded mode, surfaces and meshes filled in it (curves stay lines); the
// containers' placements go through the display's model-view matrix.
class CDisplayDrawer final : public CObjectDrawer {
public:
    CDisplayDrawer(CFrameContext& frame, CTessellationCache& cache)
        : m_frame(frame), m_cache(cache) {}

    void DrawCurve(const CCurve& curve, EDisplayMode mode) override;
    void DrawSurface(const CSurface& surface, EDisplayMode mode) override;
    void DrawPolyMesh(const CPolyMesh& mesh, EDisplayMode mode) override;
    CMatrix4 GetModelViewMatrix() override;
    void MultMatrix(const CMatrix4& m) override;
    void LoadMatrix(const CMatrix4& m) override;

private:
    CFrameContext& m_frame;
    CTessellationCache& m_cache;
};

}  // namespace orva
