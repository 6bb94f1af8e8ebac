#include "display/display_drawer.h"

#include "display/shaded_object.h"
#include "display/wireframe.h"
#include "scene/poly_mesh.h"
#include "scene/surface.h"
#include "view/display_state.h"
#include "view/view_camera.h"

namespace orva {

void CDisplayDrawer::DrawCurve(const CCurve& curve, int mode) {
    DrawCurveWireframe(curve, mode);
}

void CDisplayDrawer::DrawSurface(const CSurface& surface, int mode) {
    if (mode == kModeShaded) {
        DrawShadedObject(surface);
    } else {
        DrawSurfaceWireframe(surface, mode);
    }
}

void CDisplayDrawer::DrawPolyMesh(const CPolyMesh& mesh, int mode) {
    if (mode == kModeShaded) {
        DrawShadedObject(mesh);
    } else {
        DrawPolyMeshWireframe(mesh, mode);
    }
}

CMatrix4 CDisplayDrawer::GetModelViewMatrix() {
    return orva::GetModelViewMatrix();
}

void CDisplayDrawer::MultMatrix(const CMatrix4& m) {
    orva::MultMatrix(m);
}

void CDisplayDrawer::LoadMatrix(const CMatrix4& m) {
    orva::LoadMatrix(m);
}

}  // namespace orva
