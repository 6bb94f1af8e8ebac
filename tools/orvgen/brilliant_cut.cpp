#include "brilliant_cut.h"

#include <cstddef>

#include "facet_plane.h"
#include "gem_girdles.h"
#include "gem_mesh_builder.h"

namespace orva {

namespace {

// The corners of a brilliant, main by main: mains[i] and between[i] are the girdle corners
// (between[i] lies between mains i and i + 1), table[i] the table corner above mains[i],
// stars[i] the point of the star between table[i] and table[i + 1], lowers[i] the point where
// pavilion mains i and i + 1 meet the lower girdle facets between them.
struct CBrilliantCorners {
    std::vector<CGemPoint> mains, between, table, stars, lowers;
    CGemPoint culet;
};

CBrilliantCorners PlaceCorners(const std::vector<CGemPoint>& girdle,
                               const CBrilliantProportions& p) {
    const std::size_t n = girdle.size() / 2;
    const CGemPoint centre = AreaCentroid(girdle);
    CBrilliantCorners c;
    c.culet = AtHeight(centre, -p.pavilionDepth);
    std::vector<CFacetPlane> crownMains, pavilionMains;
    for (std::size_t i = 0; i < n; ++i) {
        c.mains.push_back(girdle[2 * i]);
        c.between.push_back(girdle[2 * i + 1]);
        c.table.push_back(AtHeight(Lerp(centre, c.mains[i], p.table), p.crownHeight));
        // The girdle's direction at the main's corner, from the girdle corners either side.
        const CGemPoint level = girdle[2 * i + 1] - girdle[(2 * i + 2 * n - 1) % (2 * n)];
        crownMains.push_back(MainFacetPlane(c.mains[i], c.table[i], level));
        pavilionMains.push_back(MainFacetPlane(c.mains[i], c.culet, level));
    }
    // A star point lies on both crown mains beside it, so the mains stay flat; its height is
    // where the mains stand above the point `starLength` of the way from the table's edge to
    // the girdle. The lower girdle points likewise, from the girdle towards the culet.
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t j = (i + 1) % n;
        const CGemPoint star = Lerp(Lerp(c.table[i], c.table[j], 0.5), c.between[i], p.starLength);
        const double starHeight = 0.5 * (HeightAt(crownMains[i], star.x, star.y) +
                                         HeightAt(crownMains[j], star.x, star.y));
        c.stars.push_back(CrossingAtHeight(crownMains[i], crownMains[j], starHeight));
        const CGemPoint lower = Lerp(c.between[i], centre, p.lowerHalfLength);
        const double lowerHeight = 0.5 * (HeightAt(pavilionMains[i], lower.x, lower.y) +
                                          HeightAt(pavilionMains[j], lower.x, lower.y));
        c.lowers.push_back(CrossingAtHeight(pavilionMains[i], pavilionMains[j], lowerHeight));
    }
    return c;
}

}  // namespace

std::unique_ptr<CPolyMesh> MakeBrilliantCut(const std::vector<CGemPoint>& girdle,
                                            const CBrilliantProportions& proportions) {
    const CBrilliantCorners c = PlaceCorners(girdle, proportions);
    const std::size_t n = c.mains.size();
    CGemMeshBuilder mesh;
    const auto table = mesh.AddRing(c.table);
    const auto ring = mesh.AddRing(girdle);
    const auto stars = mesh.AddRing(c.stars);
    const auto lowers = mesh.AddRing(c.lowers);
    const int32_t culet = mesh.AddPoint(c.culet);
    mesh.AddCap(table, true);
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t j = (i + 1) % n;
        const std::size_t h = (i + n - 1) % n;
        const int32_t main = ring[2 * i], between = ring[2 * i + 1], nextMain = ring[2 * j];
        mesh.AddFacet({table[i], stars[i], table[j]});
        mesh.AddFacet({table[i], stars[h], main, stars[i]});
        mesh.AddFacet({stars[i], main, between});
        mesh.AddFacet({stars[i], between, nextMain});
        mesh.AddFacet({lowers[i], main, lowers[h], culet});
        mesh.AddFacet({lowers[i], between, main});
        mesh.AddFacet({lowers[i], nextMain, between});
    }
    return mesh.TakeMesh(true);
}

}  // namespace orva
