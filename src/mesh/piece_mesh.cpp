#include "mesh/piece_mesh.h"

#include <openvdb/tools/VolumeToMesh.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <span>

#include "geometry/matrix4.h"
#include "geometry/triangulate.h"
#include "measure/jewel_materials.h"
#include "measure/metal_ownership.h"
#include "measure/solid_volume.h"
#include "mesh/solid_level_set.h"
#include "platform/interrupt.h"
#include "render/csg/csg_plan.h"
#include "render/shading/material_table.h"
#include "render/shading/render_material.h"
#include "render/tessellation/tessellation_store.h"
#include "scene/gem.h"
#include "scene/gem_library.h"
#include "scene/group.h"
#include "scene/poly_mesh.h"
#include "scene/scene_object.h"

namespace orva {

namespace {

uint32_t ColourOf(const CMaterialTable& materials, const char* name) {
    const CRenderMaterial* m = materials.Find(name);
    const CVector3 c = m != nullptr ? m->baseColour : CVector3(0.5f, 0.5f, 0.5f);
    const auto byte = [](float v) {
        return static_cast<uint32_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
    };
    return byte(c.x) << 16 | byte(c.y) << 8 | byte(c.z);
}

// The level set's surface as triangles: quads split along a diagonal, all wound outward.
CTriangleMesh MeshOfLevelSet(const openvdb::FloatGrid& field, double adaptivity) {
    std::vector<openvdb::Vec3s> points;
    std::vector<openvdb::Vec3I> triangles;
    std::vector<openvdb::Vec4I> quads;
    openvdb::tools::volumeToMesh(field, points, triangles, quads, 0.0, adaptivity);
    CTriangleMesh mesh;
    mesh.points.reserve(points.size());
    for (const openvdb::Vec3s& p : points) {
        mesh.points.emplace_back(p.x(), p.y(), p.z());
    }
    mesh.triangles.reserve(triangles.size() + 2 * quads.size());
    for (const openvdb::Vec3I& t : triangles) {
        mesh.triangles.push_back({t[0], t[1], t[2]});
    }
    for (const openvdb::Vec4I& q : quads) {
        mesh.triangles.push_back({q[0], q[1], q[2]});
        mesh.triangles.push_back({q[0], q[2], q[3]});
    }
    if (EnclosedVolume(mesh) < 0.0) {
        FlipTriangles(mesh);
    }
    return mesh;
}

void AddPolyMesh(CTriangleMesh& out, const CPolyMesh& shape, const CMatrix4& placement) {
    const auto base = static_cast<uint32_t>(out.points.size());
    for (const CVector3& p : shape.points) {
        out.points.push_back(TransformPoint(p, placement));
    }
    std::size_t at = 0;
    std::vector<CVector3> corners;
    std::vector<int32_t> indices;
    for (const int32_t size : shape.polygonSizes) {
        if (size < 0 || at + static_cast<std::size_t>(size) > shape.vertexIndices.size()) {
            break;
        }
        corners.clear();
        indices.clear();
        for (int32_t k = 0; k < size; ++k) {
            const int32_t v = shape.vertexIndices[at + static_cast<std::size_t>(k)];
            if (v >= 0 && static_cast<std::size_t>(v) < shape.points.size()) {
                corners.push_back(out.points[base + static_cast<uint32_t>(v)]);
                indices.push_back(v);
            }
        }
        at += static_cast<std::size_t>(size);
        // A facet's girdle may hold corners in a straight line, which a fan would join into
        // triangles of no area: ear cutting leaves those out.
        Triangulate(std::span<const CVector3>(corners), [&](const CVector3& a, const CVector3& b,
                                                            const CVector3& c) {
            const auto index = [&](const CVector3& p) {
                return base + static_cast<uint32_t>(
                                  indices[static_cast<std::size_t>(&p - corners.data())]);
            };
            out.triangles.push_back({index(a), index(b), index(c)});
        });
    }
}

// A stone's own closed mesh, placed; empty when its shape holds no polygon mesh.
CTriangleMesh GemMesh(const CGem& gem) {
    CTriangleMesh mesh;
    CGemResolution resolution;
    const CSceneObject* shape = resolution.Shape(gem.gemIndex);
    if (shape == nullptr) {
        return mesh;
    }
    if (shape->GetTypeId() == kTypePolyMesh) {
        AddPolyMesh(mesh, static_cast<const CPolyMesh&>(*shape), gem.placement);
    } else if (shape->GetTypeId() == kTypeGroup) {
        for (const CSceneObject* c = static_cast<const CGroup&>(*shape).children.first;
             c != nullptr; c = c->next) {
            if (c->GetTypeId() == kTypePolyMesh) {
                AddPolyMesh(mesh, static_cast<const CPolyMesh&>(*c), gem.placement);
            }
        }
    }
    if (EnclosedVolume(mesh) < 0.0) {
        FlipTriangles(mesh);
    }
    return mesh;
}

// The finest resolution, in steps of 0.005, whose level sets would fit the limit: the memory
// grows with the inverse square of the spacing.
double ResolutionThatFits(double resolution, int64_t bytes, int64_t limit) {
    const double wanted = resolution * std::sqrt(double(bytes) / double(limit));
    return std::ceil(wanted / 0.005 - 1e-9) * 0.005;
}

struct CMetalShare {
    std::string material;
    CCsgPlan plan;
};

std::vector<CMetalShare> MetalShares(const CCsgPlan& metal, const CSceneObject* first,
                                     const CSceneObject* stop) {
    std::vector<CMetalShare> shares;
    for (CMaterialShare& s : ShareMetalByMaterial(metal, first, stop)) {
        shares.push_back({s.material, std::move(s.owned)});
    }
    return shares;
}

}  // namespace

CPieceMesh MeshPiece(const CSceneObject* first, const CSceneObject* stop,
                     const CPieceMeshOptions& options) {
    CPieceMesh piece;
    const CCsgPlan plan = MakeCsgPlan(first, stop);
    const CMaterialTable materials(EShading::kPerPixel, first, stop);
    CTessellationStore tessellation;
    if (options.parts != EMeshParts::kGems) {
        CCsgFilter metalOnly;
        metalOnly.metalOnly = true;
        const CCsgPlan metal = FilterCsgPlan(plan, metalOnly);
        // The metal's own box, from a quick measure of it: the objects' boxes may hold control
        // points far beyond the surfaces.
        CVolumeRequest look;
        look.first = first;
        look.stop = stop;
        look.plan = &metal;
        look.accuracyPercent = 2.0;
        look.threads = options.threads;
        look.interrupt = options.interrupt;
        look.tessellation = &tessellation;
        const CSolidVolume found = MeasureSolidVolume(look);
        if (found.interrupted) {
            piece.status = CPieceMesh::kStopped;
            return piece;
        }
        std::vector<CMetalShare> shares;
        if (!found.empty) {
            shares = MetalShares(metal, first, stop);
        }
        std::vector<CLevelSetRequest> requests;
        int64_t bytes = 0;
        int rows = 0;
        for (const CMetalShare& share : shares) {
            CLevelSetRequest r;
            r.first = first;
            r.stop = stop;
            r.plan = &share.plan;
            r.materials = &materials;
            r.min = found.min;
            r.max = found.max;
            r.spacing = options.resolution;
            r.threads = options.threads;
            r.interrupt = options.interrupt;
            r.tessellation = &tessellation;
            r.rowsDone = options.rowsDone;
            bytes += EstimateLevelSetBytes(r);
            rows += LevelSetRows(r);
            requests.push_back(r);
        }
        if (bytes > options.memoryLimit) {
            piece.status = CPieceMesh::kTooLarge;
            piece.estimatedBytes = bytes;
            piece.resolutionThatFits =
                ResolutionThatFits(options.resolution, bytes, options.memoryLimit);
            return piece;
        }
        if (options.rowsToDo != nullptr) {
            *options.rowsToDo = rows;
        }
        for (std::size_t i = 0; i < requests.size(); ++i) {
            const openvdb::FloatGrid::Ptr field = BuildSolidLevelSet(requests[i]);
            if (field == nullptr) {
                piece.status = CPieceMesh::kStopped;
                return piece;
            }
            CMeshPart part;
            part.kind = CMeshPart::kMetal;
            part.material = shares[i].material;
            part.name = part.material.empty() ? "metal" : part.material;
            part.colour = ColourOf(materials, part.material.c_str());
            part.mesh = MeshOfLevelSet(*field, options.adaptivity);
            if (!part.mesh.triangles.empty()) {
                piece.parts.push_back(std::move(part));
            }
        }
    }
    if (options.parts != EMeshParts::kMetal) {
        for (const CPlannedGem& stone : plan.gems) {
            const auto& gem = static_cast<const CGem&>(*stone.gem);
            CMeshPart part;
            part.kind = CMeshPart::kGem;
            part.material = stone.materialName != nullptr ? stone.materialName : "";
            const std::optional<std::string> cut =
                options.shippedGemNames ? ShippedGemName(gem.gemIndex) : std::nullopt;
            part.name = (cut ? *cut : "shape #" + std::to_string(gem.gemIndex)) +
                        (part.material.empty() ? "" : " " + part.material);
            part.colour = ColourOf(materials, stone.materialName);
            part.mesh = GemMesh(gem);
            if (!part.mesh.triangles.empty()) {
                piece.parts.push_back(std::move(part));
            }
        }
    }
    if (piece.parts.empty()) {
        piece.status = CPieceMesh::kNothing;
    }
    return piece;
}

}  // namespace orva
