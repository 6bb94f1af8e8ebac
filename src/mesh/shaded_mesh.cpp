#include "mesh/shaded_mesh.h"

#include <meshoptimizer.h>

#include <algorithm>
#include <cmath>

namespace orva {

namespace {

// The face's normal scaled by twice its area.
CVector3 AreaNormal(const CTriangleMesh& mesh, const std::array<uint32_t, 3>& t) {
    const CVector3& a = mesh.points[t[0]];
    return CrossProduct(mesh.points[t[1]] - a, mesh.points[t[2]] - a);
}

CVector3 UnitOr(const CVector3& v, const CVector3& fallback) {
    const float length = Length(v);
    return length > 1e-20f ? v * (1.0f / length) : fallback;
}

bool ValidTriangle(const CTriangleMesh& mesh, const std::array<uint32_t, 3>& t) {
    const size_t n = mesh.points.size();
    return t[0] < n && t[1] < n && t[2] < n;
}

}  // namespace

CTriangleMesh SimplifiedMesh(const CTriangleMesh& mesh, double maxErrorMm) {
    std::vector<uint32_t> indices;
    indices.reserve(mesh.triangles.size() * 3);
    for (const auto& t : mesh.triangles) {
        if (ValidTriangle(mesh, t)) {
            indices.insert(indices.end(), t.begin(), t.end());
        }
    }
    if (indices.empty()) {
        return {};
    }
    const float* positions = &mesh.points[0].x;
    const size_t stride = sizeof(CVector3);
    const float scale = meshopt_simplifyScale(positions, mesh.points.size(), stride);
    std::vector<uint32_t> kept(indices.size());
    const float relativeError = scale > 0.0f ? static_cast<float>(maxErrorMm) / scale : 0.0f;
    kept.resize(meshopt_simplify(kept.data(), indices.data(), indices.size(), positions,
                                 mesh.points.size(), stride, 0, relativeError, 0, nullptr));
    // Only the points the kept triangles use, in the order they are first used.
    std::vector<uint32_t> remap(mesh.points.size(), UINT32_MAX);
    CTriangleMesh out;
    for (uint32_t& i : kept) {
        if (remap[i] == UINT32_MAX) {
            remap[i] = static_cast<uint32_t>(out.points.size());
            out.points.push_back(mesh.points[i]);
        }
        i = remap[i];
    }
    out.triangles.reserve(kept.size() / 3);
    for (size_t i = 0; i + 2 < kept.size(); i += 3) {
        out.triangles.push_back({kept[i], kept[i + 1], kept[i + 2]});
    }
    return out;
}

CShadedMesh SmoothShaded(const CTriangleMesh& mesh, float creaseDegrees) {
    // Each face adds its unit normal weighted by its angle at the point: the long thin
    // triangles a simplified surface has would otherwise pull the normal their way.
    std::vector<CVector3> summed(mesh.points.size(), CVector3(0.0f, 0.0f, 0.0f));
    for (const auto& t : mesh.triangles) {
        if (!ValidTriangle(mesh, t)) {
            continue;
        }
        const CVector3 n = UnitOr(AreaNormal(mesh, t), CVector3(0.0f, 0.0f, 0.0f));
        for (int c = 0; c < 3; ++c) {
            const CVector3& p = mesh.points[t[c]];
            const CVector3 a = UnitOr(mesh.points[t[(c + 1) % 3]] - p, CVector3(0, 0, 0));
            const CVector3 b = UnitOr(mesh.points[t[(c + 2) % 3]] - p, CVector3(0, 0, 0));
            const float angle = std::acos(std::clamp(DotProduct(a, b), -1.0f, 1.0f));
            summed[t[c]] = summed[t[c]] + n * angle;
        }
    }
    const float creaseCos = std::cos(creaseDegrees * 0.017453292f);
    CShadedMesh out;
    out.points = mesh.points;
    out.normals.resize(mesh.points.size());
    for (size_t i = 0; i < summed.size(); ++i) {
        out.normals[i] = UnitOr(summed[i], CVector3(0.0f, 0.0f, 1.0f));
    }
    out.indices.reserve(mesh.triangles.size() * 3);
    for (const auto& t : mesh.triangles) {
        if (!ValidTriangle(mesh, t)) {
            continue;
        }
        const CVector3 face = UnitOr(AreaNormal(mesh, t), CVector3(0.0f, 0.0f, 1.0f));
        for (const uint32_t i : t) {
            if (DotProduct(face, out.normals[i]) >= creaseCos) {
                out.indices.push_back(i);
            } else {
                out.indices.push_back(static_cast<uint32_t>(out.points.size()));
                out.points.push_back(mesh.points[i]);
                out.normals.push_back(face);
            }
        }
    }
    return out;
}

CShadedMesh FlatShaded(const CTriangleMesh& mesh) {
    CShadedMesh out;
    for (const auto& t : mesh.triangles) {
        if (!ValidTriangle(mesh, t)) {
            continue;
        }
        const CVector3 face = UnitOr(AreaNormal(mesh, t), CVector3(0.0f, 0.0f, 1.0f));
        for (const uint32_t i : t) {
            out.indices.push_back(static_cast<uint32_t>(out.points.size()));
            out.points.push_back(mesh.points[i]);
            out.normals.push_back(face);
        }
    }
    return out;
}

}  // namespace orva
