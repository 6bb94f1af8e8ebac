#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "geometry/triangulate.h"
#include "polygon_checks.h"

// Real-world polygons with holes (map shapes and bug reports of another triangulator): every one
// must return, and the well-formed ones must be covered exactly.

namespace orva {
namespace {

namespace fs = std::filesystem;
using Contour = std::vector<CVector3>;

constexpr double kAreaTolerance = 1e-6;

nlohmann::json ReadJson(const fs::path& path) {
    std::ifstream in(path);
    return nlohmann::json::parse(in);
}

std::vector<Contour> ReadFixture(const fs::path& path) {
    std::vector<Contour> rings;
    for (const auto& ring : ReadJson(path)) {
        Contour c;
        for (const auto& point : ring) {
            c.emplace_back(point.at(0).get<float>(), point.at(1).get<float>(), 0.0f);
        }
        rings.push_back(std::move(c));
    }
    return rings;
}

// The triangulator leaves hole orientation to its callers: holes must run against the outer.
void OrientHoles(std::vector<Contour>& rings) {
    if (rings.empty()) {
        return;
    }
    const double outer = test::SignedArea(rings[0]);
    for (std::size_t i = 1; i < rings.size(); ++i) {
        if (test::SignedArea(rings[i]) * outer > 0.0) {
            std::reverse(rings[i].begin(), rings[i].end());
        }
    }
}

// A quarter turn, exact in floats.
void Rotate(std::vector<Contour>& rings) {
    for (Contour& ring : rings) {
        for (CVector3& p : ring) {
            p = {-p.y, p.x, 0.0f};
        }
    }
}

double Deviation(const std::vector<Contour>& rings, const test::CTriangulation& t) {
    const std::vector<std::span<const CVector3>> spans(rings.begin(), rings.end());
    const double polygon = test::PolygonArea(spans);
    const double triangles = test::TotalArea(t.triangles);
    if (polygon == 0.0 && triangles == 0.0) {
        return 0.0;
    }
    return std::fabs(triangles - polygon) / polygon;
}

struct CFixtureOutcome {
    std::string name;
    std::size_t points = 0;
    bool clean = false;
    bool exact = false;  // area within kAreaTolerance in all four quarter turns
    std::size_t triangles = 0;
    double deviation = 0.0;  // unrotated
};

CFixtureOutcome RunFixture(const fs::path& path) {
    CFixtureOutcome outcome;
    outcome.name = path.stem().string();
    std::vector<Contour> rings = ReadFixture(path);
    OrientHoles(rings);
    {
        const std::vector<std::span<const CVector3>> spans(rings.begin(), rings.end());
        outcome.clean = test::IsCleanPolygon(spans);
    }
    std::size_t holes = rings.empty() ? 0 : rings.size() - 1;
    for (const Contour& ring : rings) {
        outcome.points += ring.size();
    }
    outcome.exact = true;
    for (int turn = 0; turn < 4; ++turn) {
        const test::CTriangulation t = test::RunTriangulate(rings);
        // Every delivered triangle used up at least one working node.
        EXPECT_LE(t.triangles.size(), outcome.points + 2 * t.stats.splits) << "turn " << turn;
        const double deviation = Deviation(rings, t);
        if (turn == 0) {
            outcome.triangles = t.triangles.size();
            outcome.deviation = deviation;
        }
        outcome.exact = outcome.exact && deviation <= kAreaTolerance;
        if (outcome.clean) {
            EXPECT_LE(deviation, kAreaTolerance) << "turn " << turn;
            EXPECT_EQ(t.triangles.size(), outcome.points + 2 * holes - 2) << "turn " << turn;
            EXPECT_FALSE(test::FindOverlap(t.triangles).has_value()) << "turn " << turn;
            EXPECT_FALSE(t.stats.splitLimitReached);
        }
        Rotate(rings);
    }
    return outcome;
}

TEST(EarcutCorpusTest, EveryFixtureReturnsAndWellFormedOnesAreCoveredExactly) {
    // The fixtures are part of the repository: without them the test fails rather than skips.
    const fs::path dir(ORVA_EARCUT_DIR);
    ASSERT_TRUE(fs::is_directory(dir / "fixtures")) << "the fixtures are missing from " << dir;
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(dir / "fixtures")) {
        if (entry.path().extension() == ".json") {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    const nlohmann::json expected = ReadJson(dir / "expected.json");
    ASSERT_EQ(files.size(), expected.at("triangles").size());

    int clean = 0;
    int cleanExact = 0;
    int exact = 0;
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.stem().string());
        const CFixtureOutcome o = RunFixture(file);
        clean += o.clean;
        cleanExact += o.clean && o.exact;
        exact += o.exact;
        std::cout << "  " << o.name << ": " << o.points << " points, " << o.triangles
                  << " triangles (reference " << expected["triangles"].value(o.name, -1)
                  << "), deviation " << o.deviation << (o.clean ? ", well-formed" : "") << "\n";
    }
    std::cout << files.size() << " fixtures ran; " << clean
              << " have one outer ring with non-touching holes, " << cleanExact
              << " of them within " << kAreaTolerance << " in all four quarter turns; " << exact
              << " fixtures in all reach that.\n";
    RecordProperty("fixtures", static_cast<int>(files.size()));
    RecordProperty("well_formed", clean);
    RecordProperty("well_formed_exact", cleanExact);
    EXPECT_EQ(cleanExact, clean);
}

}  // namespace
}  // namespace orva
