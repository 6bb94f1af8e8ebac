#include "display/display_drawer.h"

#include "display/shaded_object.h"
#include "display/wireframe.h"
#include "scene/poly_mesh.h"
#include "scene/surface.h"
#include "view/frame_context.h"
#include "view/view_camera.h"

namespace orva {

void CDisplayDrawer::DrawCurve(const CCurve& curve, EDisplayMode mode) {
    DrawCurveWireframe(m_frame, curve, mode);
}

void CDisplayDrawer::DrawSurface(const CSurface& surface, EDisplayMode mode) {
    if (mode == kModeShaded) {
        DrawShadedObject(m_frame, m_cache, surface);
    } else {
        DrawSurfaceWireframe(m_frame, surface, mode);
    }
}

void CDisplayDrawer::DrawPolyMesh(const CPolyMesh& mesh, EDisplayMode mode) {
    if (mode == kModeShaded) {
        DrawShadedObject(m_frame, m_cache, mesh);
    } else {
        DrawPolyMeshWireframe(m_frame, mesh, mode);
    }
}

CMatrix4 CDisplayDrawer::GetModelViewMatrix() {
    return m_frame.ModelViewMatrix();
}

void CDisplayDrawer::MultMatrix(const CMatrix4& m) {
    m_frame.MultMatrix(m);
}

void CDisplayDrawer::LoadMatrix(const CMatrix4& m) {
    m_frame.LoadMatrix(m);
}

}  // namespace orva
