#include "display/mesh_faces.h"
#include "display/polyline.h"
#include "display/wireframe.h"

namespace orva {

namespace {

const CVector3& Vertex(const CPolyMesh& mesh, int32_t index) {
    return mesh.points[static_cast<std::size_t>(index)];
}

}  // namespace

void DrawPolyMeshWireframe(CFrameContext& frame, const CPolyMesh& mesh, EDisplayMode mode) {
    if (mode == kModeFastWireframe) {
        // The fast wireframe hints at the mesh with one edge of every second polygon.
        ForEachFace(mesh, [&](std::size_t face, std::span<const int32_t> corners) {
            if (face % 2 != 0 || corners.size() < 2) {
                return;
            }
            BeginPolyline(frame, kPolylineOpen);
            AddVertex(frame, Vertex(mesh, corners[0]));
            AddVertex(frame, Vertex(mesh, corners[1]));
            EndPolyline(frame);
        });
    } else {
        ForEachFace(mesh, [&](std::size_t, std::span<const int32_t> corners) {
            if (corners.empty()) {
                return;
            }
            BeginPolyline(frame, kPolylineClosed);
            for (const int32_t index : corners) {
                AddVertex(frame, Vertex(mesh, index));
            }
            EndPolyline(frame);
        });
    }
    if (mesh.netHidden != 0) {
        return;
    }
    DrawPointMarkers(frame, mesh.points);
    if (mode == kModeWireframe) {
        DrawHighlightedPoints(frame, mesh.points, mesh.selection);
    }
}

}  // namespace orva
