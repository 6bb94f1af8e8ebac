#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <random>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "geometry/bspline_curve.h"
#include "geometry/bspline_surface.h"
#include "geometry/triangulate.h"

namespace orva {
namespace {

std::vector<CVector3> RandomPoints(int count, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> coordinate(-10.0f, 10.0f);
    std::vector<CVector3> points(count);
    for (CVector3& p : points) {
        p = {coordinate(rng), coordinate(rng), coordinate(rng)};
    }
    return points;
}

// A 10 x 10 control net with fixed edges: 11 x 11 patches after extension.
constexpr int kNetSize = 10;

void SurfaceGrid(benchmark::State& state, bool derivatives) {
    const int steps = static_cast<int>(state.range(0));
    const std::vector<CVector3> net = RandomPoints(kNetSize * kNetSize, 1);
    const CControlNet e = ExtendControlNet(net, kNetSize, kNetSize, {}, {});
    std::int64_t points = 0;
    for (auto _ : state) {
        const CSurfaceGrid g =
            EvaluateSurfaceGrid(BSPLINE_BASIS, e.points, e.rows, e.cols, steps, steps, derivatives);
        benchmark::DoNotOptimize(g.positions.data());
        points += static_cast<std::int64_t>(g.rows) * g.cols;
    }
    state.SetItemsProcessed(points);
}

void BM_SurfaceGridPositions(benchmark::State& state) {
    SurfaceGrid(state, false);
}
void BM_SurfaceGridWithDerivatives(benchmark::State& state) {
    SurfaceGrid(state, true);
}
BENCHMARK(BM_SurfaceGridPositions)->Arg(1)->Arg(2)->Arg(4)->Arg(8)->Arg(16);
BENCHMARK(BM_SurfaceGridWithDerivatives)->Arg(1)->Arg(2)->Arg(4)->Arg(8)->Arg(16);

// One step across the rows: every net row is sampled as a curve.
void BM_SurfaceGridSampledRows(benchmark::State& state) {
    const int steps = static_cast<int>(state.range(0));
    const std::vector<CVector3> net = RandomPoints(kNetSize * kNetSize, 2);
    const CControlNet e = ExtendControlNet(net, kNetSize, kNetSize, {}, {});
    std::int64_t points = 0;
    for (auto _ : state) {
        const CSurfaceGrid g =
            EvaluateSurfaceGrid(BSPLINE_BASIS, e.points, e.rows, e.cols, 1, steps, true);
        benchmark::DoNotOptimize(g.positions.data());
        points += static_cast<std::int64_t>(g.rows) * g.cols;
    }
    state.SetItemsProcessed(points);
}
BENCHMARK(BM_SurfaceGridSampledRows)->Arg(4)->Arg(16);

void BM_CurvePoints(benchmark::State& state) {
    const int steps = static_cast<int>(state.range(0));
    const std::vector<CVector3> points = RandomPoints(32, 3);
    std::int64_t samples = 0;
    for (auto _ : state) {
        const std::vector<CVector3> s = SampleCurve(points, {.closed = true}, steps);
        benchmark::DoNotOptimize(s.data());
        samples += static_cast<std::int64_t>(s.size());
    }
    state.SetItemsProcessed(samples);
}
BENCHMARK(BM_CurvePoints)->Arg(0)->Arg(1)->Arg(4)->Arg(16)->Arg(64);

// The corpus fixtures are nested JSON arrays of [x, y] pairs: rings of points.
std::vector<std::vector<CVector3>> ReadFixture(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    const std::string s = text.str();
    std::vector<std::vector<CVector3>> rings;
    std::vector<float> coordinates;
    int depth = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '[') {
            ++depth;
            if (depth == 2) {
                rings.emplace_back();
            }
            coordinates.clear();
        } else if (c == ']') {
            if (depth == 3 && coordinates.size() >= 2) {
                rings.back().emplace_back(coordinates[0], coordinates[1], 0.0f);
            }
            --depth;
        } else if (depth == 3 && (c == '-' || (c >= '0' && c <= '9'))) {
            char* end = nullptr;
            coordinates.push_back(std::strtof(s.c_str() + i, &end));
            i = static_cast<std::size_t>(end - s.c_str()) - 1;
        }
    }
    // Holes run against the outer ring, as the triangulator expects.
    const auto area = [](const std::vector<CVector3>& ring) {
        double twice = 0.0;
        for (std::size_t k = 0; k < ring.size(); ++k) {
            const CVector3& a = ring[k];
            const CVector3& b = ring[(k + 1) % ring.size()];
            twice += static_cast<double>(a.x) * b.y - static_cast<double>(b.x) * a.y;
        }
        return twice;
    };
    for (std::size_t k = 1; k < rings.size(); ++k) {
        if (area(rings[k]) * area(rings[0]) > 0.0) {
            std::reverse(rings[k].begin(), rings[k].end());
        }
    }
    return rings;
}

std::string FixturePath(const std::string& name) {
    return std::string(ORVA_EARCUT_FIXTURES) + "/" + name + ".json";
}

void BM_TriangulateFixture(benchmark::State& state, const std::string& name) {
    const std::vector<std::vector<CVector3>> rings = ReadFixture(FixturePath(name));
    if (rings.empty()) {
        state.SkipWithError("fixture not found");
        return;
    }
    const std::vector<std::span<const CVector3>> spans(rings.begin(), rings.end());
    std::size_t points = 0;
    for (const auto& ring : rings) {
        points += ring.size();
    }
    int triangles = 0;
    for (auto _ : state) {
        const CTriangulationStats stats =
            Triangulate(spans, [](const CVector3&, const CVector3&, const CVector3&) {});
        triangles = stats.triangles;
    }
    state.counters["points"] = static_cast<double>(points);
    state.counters["rings"] = static_cast<double>(rings.size());
    state.counters["triangles"] = triangles;
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(points));
}

BENCHMARK_CAPTURE(BM_TriangulateFixture, water_huge3, std::string("water-huge3"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TriangulateFixture, water_huge, std::string("water-huge"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TriangulateFixture, water_huge2, std::string("water-huge2"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TriangulateFixture, touching_holes6, std::string("touching-holes6"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TriangulateFixture, rain, std::string("rain"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TriangulateFixture, self_tangent_4, std::string("self-tangent-4"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TriangulateFixture, water, std::string("water"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TriangulateFixture, eberly_6, std::string("eberly-6"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TriangulateFixture, hilbert, std::string("hilbert"))
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orva

BENCHMARK_MAIN();
