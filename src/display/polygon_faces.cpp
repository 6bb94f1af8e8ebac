#include "display/polygon_faces.h"

#include "display/mesh_faces.h"
#include "display/object_parts.h"
#include "scene/poly_mesh.h"

namespace orva {

namespace {

// Beyond arccos 0.9 (25.84 degrees) from the averaged normal a face keeps its own normal.
constexpr float kCreaseCosine = 0.9f;

// From the first three corners A, B, C; a face with fewer corners has none (and covers no
// pixels).
CVector3 FaceNormal(const CPolyMesh& mesh, std::span<const int32_t> corners) {
    if (corners.size() < 3) {
        return CVector3();
    }
    const CVector3& a = mesh.points[static_cast<std::size_t>(corners[0])];
    const CVector3& b = mesh.points[static_cast<std::size_t>(corners[1])];
    const CVector3& c = mesh.points[static_cast<std::size_t>(corners[2])];
    return Normalized(CrossProduct(c - b, a - b));
}

std::vector<CVector3> FaceNormals(const CPolyMesh& mesh) {
    std::vector<CVector3> normals;
    ForEachFace(mesh, [&](std::size_t, std::span<const int32_t> corners) {
        normals.push_back(FaceNormal(mesh, corners));
    });
    return normals;
}

// The unit sum of the normals of the faces round every vertex (zero for a vertex no face
// lists). Summed from turned-round face normals it would come out exactly turned round, which
// is how the mirrored set is made from it.
std::vector<CVector3> VertexAverages(const CPolyMesh& mesh, const std::vector<CVector3>& normals) {
    std::vector<CVector3> sums(mesh.points.size());
    ForEachFace(mesh, [&](std::size_t face, std::span<const int32_t> corners) {
        for (const int32_t index : corners) {
            AddInPlace(sums[static_cast<std::size_t>(index)], normals[face]);
        }
    });
    for (CVector3& s : sums) {
        s = Normalized(s);
    }
    return sums;
}

// Appends one face: its corners, its triangle fan, and what its corner normals are made from
// (the face normal itself for a flat mesh, the vertex averages for a smooth one).
void AddFace(CPolygonFaces& faces, const CPolyMesh& mesh, std::span<const int32_t> corners,
             const CVector3& faceNormal, const std::vector<CVector3>& averages) {
    const auto first = static_cast<uint32_t>(faces.corners.size());
    faces.firsts.push_back(static_cast<int32_t>(first));
    faces.counts.push_back(static_cast<int32_t>(corners.size()));
    for (uint32_t k = 1; k + 1 < corners.size(); ++k) {
        faces.fans.insert(faces.fans.end(), {first, first + k, first + k + 1});
    }
    for (const int32_t index : corners) {
        faces.corners.push_back(mesh.points[static_cast<std::size_t>(index)]);
        if (averages.empty()) {
            faces.normals.push_back(faceNormal);
        } else {
            faces.cornerAverages.push_back(averages[static_cast<std::size_t>(index)]);
        }
    }
    if (!averages.empty()) {
        faces.faceNormals.push_back(faceNormal);
    }
}

std::vector<CVector3> CreasedNormals(const CPolygonFaces& faces, bool negate) {
    std::vector<CVector3> normals(faces.corners.size());
    for (std::size_t f = 0; f < faces.firsts.size(); ++f) {
        const CVector3& fn = faces.faceNormals[f];
        const auto first = static_cast<std::size_t>(faces.firsts[f]);
        const auto end = first + static_cast<std::size_t>(faces.counts[f]);
        for (std::size_t k = first; k < end; ++k) {
            // The averages were summed from turned-round face normals; the face normal sent
            // and compared is the face's own.
            const CVector3 average =
                negate ? Scale(faces.cornerAverages[k], -1.0f) : faces.cornerAverages[k];
            normals[k] = DotProduct(average, fn) < kCreaseCosine ? fn : average;
        }
    }
    return normals;
}

}  // namespace

CPolygonFaces BuildPolygonFaces(const CPolyMesh& mesh) {
    CPolygonFaces faces;
    const std::vector<CVector3> normals = FaceNormals(mesh);
    const bool smooth = mesh.flatShading == 0;
    const std::vector<CVector3> averages =
        smooth ? VertexAverages(mesh, normals) : std::vector<CVector3>{};
    ForEachFace(mesh, [&](std::size_t face, std::span<const int32_t> corners) {
        // A face of fewer than three corners covers no pixels and has no normal; its normal
        // (zero) still went into the averages, where it adds nothing.
        if (corners.size() >= 3) {
            AddFace(faces, mesh, corners, normals[face], averages);
        }
    });
    if (smooth) {
        faces.normals = CreasedNormals(faces, false);
    }
    return faces;
}

const std::vector<CVector3>& PolygonNormals(CPolygonFaces& faces, bool mirrored) {
    if (!mirrored || faces.cornerAverages.empty()) {
        return faces.normals;  // flat meshes send the face's own normal either way
    }
    if (!faces.mirroredNormals) {
        faces.mirroredNormals = CreasedNormals(faces, true);
    }
    return *faces.mirroredNormals;
}

bool IsMirrored(const CMatrix4& modelView, const CMatrix4& viewInverse, int32_t orientation) {
    CMatrix4 own = modelView;
    MultiplyInPlace(own, viewInverse);
    return Determinant(own, 3) * static_cast<float>(orientation) < 0.0f;
}

CShadedParts BuildPolyMeshParts(const CPolyMesh& mesh) {
    CShadedParts parts;
    parts.faces = BuildPolygonFaces(mesh);
    return parts;
}

}  // namespace orva
