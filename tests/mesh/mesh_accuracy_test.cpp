#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "measure/axis_rays.h"
#include "mesh/piece_mesh.h"
#include "render/csg/csg_plan.h"
#include "render/csg/scan_records.h"
#include "render/shading/material_table.h"
#include "render/tessellation/tessellation_store.h"
#include "scene/gem_library.h"
#include "scene/scene_file.h"

namespace orva {
namespace {

float Component(const CVector3& v, int axis) {
    return axis == 0 ? v.x : (axis == 1 ? v.y : v.z);
}

// How far `p` lies from the resolved surface, as rays through it along the three axes see it:
// the smallest distance to a crossing's tangent plane.
class CSurfaceDistance {
public:
    CSurfaceDistance(const CSceneObject* first, const CCsgPlan& metal)
        : m_materials(EShading::kPerPixel, first, nullptr) {
        m_walk.first = first;
        m_walk.plan = &metal;
        m_walk.materials = &m_materials;
        m_walk.tessellation = &m_store;
        m_walk.shading = EShading::kPerPixel;
    }

    double At(const CVector3& p) {
        CAxisRayGrid grids[3];
        CAxisView axes[3];
        for (int d = 0; d < 3; ++d) {
            axes[d] = AxisView(d);
            const float ex = axes[d].columnSign * Component(p, axes[d].columnAxis);
            const float ey = axes[d].rowSign * Component(p, axes[d].rowAxis);
            CMatrix4 w = CMatrix4::Identity();
            w[5] = -1.0f;
            w[12] = -ex;
            w[13] = ey;
            grids[d].view = axes[d].view;
            grids[d].windowMatrix = Multiply(axes[d].view, w);
            grids[d].depthAxis = axes[d].depthAxis;
            grids[d].depthSign = axes[d].depthSign;
        }
        double nearest = std::numeric_limits<double>::infinity();
        WalkAxisRays(m_walk, grids, [&](CAxisRayRow& row) {
            const CAxisView& a = axes[row.direction];
            row.ForEachRay([&](int column, const CFragment* list) {
                for (const CFragment* f = list; f != nullptr; f = f->link) {
                    const CVector3 n = FragmentNormal(*f, column);
                    const double along =
                        std::fabs(Component(p, a.depthAxis) - f->depth * a.depthSign);
                    const float length = Length(n);
                    nearest =
                        std::min(nearest, along * (length > 0 ? std::fabs(n.z) / length : 1.0));
                }
            });
        });
        return nearest;
    }

private:
    CMaterialTable m_materials;
    CTessellationStore m_store;
    CAxisRayWalk m_walk;
};

// Every vertex of the solitaire's metal at 0.05 mm (a sample of them spread over the mesh)
// lies within half the resolution of the surface the renderer resolves: the prongs, the seat
// cut for the stone and the shank alike.
TEST(MeshAccuracyTest, VerticesLieOnTheResolvedSurface) {
    GemLibrary().SetPath(ORVA_OUTPUT_DIR "/gemlib");
    CSceneAnchor scene;
    CLoadReport load;
    ReadSceneFile(scene, ORVA_OUTPUT_DIR "/samples/solitaire_ring.orv", load);
    ASSERT_EQ(load.status, CLoadReport::kOk);
    CPieceMeshOptions options;
    options.resolution = 0.05;
    options.parts = EMeshParts::kMetal;
    options.threads = 2;
    const CPieceMesh piece = MeshPiece(scene.first, nullptr, options);
    ASSERT_EQ(piece.parts.size(), 1u);
    CCsgFilter metalOnly;
    metalOnly.metalOnly = true;
    const CCsgPlan metal = FilterCsgPlan(MakeCsgPlan(scene.first, nullptr), metalOnly);
    CSurfaceDistance distance(scene.first, metal);
    const std::vector<CVector3>& points = piece.parts[0].mesh.points;
    const std::size_t stride = std::max<std::size_t>(1, points.size() / 400);
    double worst = 0.0;
    for (std::size_t i = 0; i < points.size(); i += stride) {
        worst = std::max(worst, distance.At(points[i]));
    }
    EXPECT_LE(worst, 0.5 * options.resolution);
    ClearScene(scene);
}

}  // namespace
}  // namespace orva
