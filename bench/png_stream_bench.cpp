// Streaming a render into a PNG: rows 16384 pixels wide handed over by render threads in
// bands taken in increasing order, as the renderer does. Reports the rows written per second
// and the most rows the surface held at once waiting for the rows above them.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "picture/png_stream_surface.h"

namespace {

constexpr int kWidth = 16384;
constexpr int kHeight = 1024;
constexpr int kBand = 16;

// A shaded gradient with some grain: compresses about as well as a render does.
std::vector<uint8_t> RowBits(int y) {
    std::vector<uint8_t> bits(static_cast<size_t>(kWidth) * 3);
    for (int x = 0; x < kWidth; ++x) {
        bits[3 * x] = static_cast<uint8_t>(x / 64 + y);
        bits[3 * x + 1] = static_cast<uint8_t>(x / 128 + ((x * 7 + y * 13) & 3));
        bits[3 * x + 2] = static_cast<uint8_t>(y / 4);
    }
    return bits;
}

void BM_StreamPng(benchmark::State& state) {
    const int threads = static_cast<int>(state.range(0));
    const bool alpha = state.range(1) != 0;
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("orva-stream-bench-" + std::to_string(getpid()) + ".png"))
                                 .string();
    std::vector<std::vector<uint8_t>> rows;
    for (int y = 0; y < 256; ++y) {
        rows.push_back(RowBits(y));
    }
    const std::vector<uint8_t> coverage(kWidth, 200);
    int peak = 0;
    for (auto _ : state) {
        orva::CPngStreamSurface surface(path, kWidth, kHeight, alpha, 0xE4E4E4);
        std::atomic<int> nextBand{0};
        std::vector<std::thread> workers;
        for (int t = 0; t < threads; ++t) {
            workers.emplace_back([&] {
                for (int top; (top = kBand * nextBand++) < kHeight;) {
                    for (int y = top; y < std::min(top + kBand, kHeight); ++y) {
                        if (alpha) {
                            surface.PutCoverage(0, y, kWidth, coverage.data());
                        }
                        surface.PutImage(0, y, kWidth, 1, rows[y % rows.size()].data());
                    }
                }
            });
        }
        for (std::thread& worker : workers) {
            worker.join();
        }
        if (!surface.Finish()) {
            state.SkipWithError("the PNG could not be written");
            break;
        }
        peak = std::max(peak, surface.PeakRowsBuffered());
    }
    std::remove(path.c_str());
    state.counters["rows/s"] =
        benchmark::Counter(static_cast<double>(kHeight) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
    state.counters["peak rows held"] = peak;
}
BENCHMARK(BM_StreamPng)
    ->ArgsProduct({{1, 4}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
