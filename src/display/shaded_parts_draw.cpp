#include <GL/gl.h>

#include "display/polygon_faces.h"
#include "display/shaded_parts.h"

namespace orva {

namespace {

void DrawQuadMesh(const CQuadMesh& mesh) {
    glVertexPointer(3, GL_FLOAT, sizeof(CVector3), mesh.vertices.data());
    glNormalPointer(GL_FLOAT, sizeof(CVector3), mesh.normals.data());
    glDrawElements(GL_QUADS, static_cast<GLsizei>(mesh.indices.size()), GL_UNSIGNED_INT,
                   mesh.indices.data());
}

// A fill has one normal for all its vertices: the current normal stands in for the array.
void DrawFlatTriangles(const CFlatTriangles& fill) {
    if (fill.vertices.empty()) {
        return;
    }
    glDisableClientState(GL_NORMAL_ARRAY);
    glNormal3fv(&fill.normal.x);
    glVertexPointer(3, GL_FLOAT, sizeof(CVector3), fill.vertices.data());
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(fill.vertices.size()));
    glEnableClientState(GL_NORMAL_ARRAY);
}

void DrawPolygonFaces(CPolygonFaces& faces, bool mirrored) {
    const std::vector<CVector3>& normals = PolygonNormals(faces, mirrored);
    glVertexPointer(3, GL_FLOAT, sizeof(CVector3), faces.corners.data());
    glNormalPointer(GL_FLOAT, sizeof(CVector3), normals.data());
    // The fans are the triangles OpenGL makes of each polygon, so the picture is that of one
    // GL_POLYGON per face, at the cost of one call for the whole mesh.
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(faces.fans.size()), GL_UNSIGNED_INT,
                   faces.fans.data());
}

}  // namespace

void DrawShadedParts(CShadedParts& parts, bool mirrored) {
    for (const CQuadMesh& mesh : parts.meshes) {
        if (!mesh.Empty()) {
            DrawQuadMesh(mesh);
        }
    }
    for (const CFlatTriangles& fill : parts.fills) {
        DrawFlatTriangles(fill);
    }
    if (parts.faces) {
        DrawPolygonFaces(*parts.faces, mirrored);
    }
}

}  // namespace orva
