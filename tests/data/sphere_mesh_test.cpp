#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "mesh_shapes.h"

namespace orva {
namespace {

TEST(SphereMeshTest, ClosedOutwardWoundAndOnTheSphere) {
    const CVector3 centre{1.0f, -2.0f, 3.0f};
    const auto sphere = MakeSphereMesh(centre, 5.0f, 12, 6);
    EXPECT_EQ(sphere->flatShading, 0);
    EXPECT_EQ(sphere->points.size(), 2u + 12u * 5u);
    EXPECT_EQ(sphere->selection.size(), sphere->points.size());
    EXPECT_EQ(sphere->PolygonCount(), 12 * 6);
    for (const CVector3& p : sphere->points) {
        EXPECT_NEAR(Length(p - centre), 5.0f, 1e-4f);
    }
    // Closed and consistently wound: every edge is used once in each direction.
    std::map<std::pair<int, int>, int> edges;
    size_t first = 0;
    for (int32_t size : sphere->polygonSizes) {
        const int32_t* v = &sphere->vertexIndices[first];
        for (int k = 0; k < size; ++k) {
            ++edges[{v[k], v[(k + 1) % size]}];
        }
        // Counter-clockwise seen from outside: the corners' normal points away from the centre.
        const CVector3 a = sphere->points[v[0]], b = sphere->points[v[1]], c = sphere->points[v[2]];
        EXPECT_GT(DotProduct(CrossProduct(b - a, c - a), a - centre), 0.0f);
        first += static_cast<size_t>(size);
    }
    EXPECT_EQ(first, sphere->vertexIndices.size());
    for (const auto& [edge, count] : edges) {
        EXPECT_EQ(count, 1);
        EXPECT_EQ(edges.count({edge.second, edge.first}), 1u);
    }
}

TEST(SphereMeshTest, TooFewDivisionsAreRaisedToTheLeast) {
    const auto sphere = MakeSphereMesh({}, 1.0f, 1, 1);
    EXPECT_EQ(sphere->points.size(), 2u + 3u);
    EXPECT_EQ(sphere->PolygonCount(), 3 * 2);
}

}  // namespace
}  // namespace orva
