// BMP reading speed for a 4096 × 4096 picture, from memory and from a file in the page
// cache: the 24-bit block read that thumbnails and texture maps take, and for comparison
// the row-by-row palette expansion of an 8-bit file.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "image/bmp_reader.h"

namespace {

constexpr int kSide = 4096;

void PutU32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

std::vector<uint8_t> MakeBmp(int bitsPerPixel) {
    const size_t stride = (static_cast<size_t>(kSide) * bitsPerPixel + 31) / 32 * 4;
    const size_t tableSize = bitsPerPixel == 8 ? 256 * 4 : 0;
    const size_t offset = 54 + tableSize;
    std::vector<uint8_t> bytes(offset + stride * kSide);
    bytes[0] = 'B';
    bytes[1] = 'M';
    PutU32(bytes, 2, static_cast<uint32_t>(bytes.size()));
    PutU32(bytes, 10, static_cast<uint32_t>(offset));
    PutU32(bytes, 14, 40);
    PutU32(bytes, 18, kSide);
    PutU32(bytes, 22, kSide);
    bytes[26] = 1;
    bytes[28] = static_cast<uint8_t>(bitsPerPixel);
    for (size_t i = 54; i < bytes.size(); ++i) {
        bytes[i] = static_cast<uint8_t>(i * 13 + i / 4096);
    }
    return bytes;
}

void ReportRate(benchmark::State& state, size_t fileSize) {
    state.counters["MB/s"] = benchmark::Counter(
        static_cast<double>(fileSize) * static_cast<double>(state.iterations()) / 1e6,
        benchmark::Counter::kIsRate);
}

void BM_ReadBmpMemory(benchmark::State& state) {
    const std::vector<uint8_t> bytes = MakeBmp(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        orva::BmpImage image;
        if (orva::ReadBmpMemory(bytes, image) != 1) {
            state.SkipWithError("read failed");
            break;
        }
        benchmark::DoNotOptimize(image.pixels);
        orva::ReleaseBmpImage(image);
    }
    ReportRate(state, bytes.size());
}
BENCHMARK(BM_ReadBmpMemory)->Arg(24)->Arg(8)->Unit(benchmark::kMillisecond);

void BM_ReadBmpFile(benchmark::State& state) {
    const std::vector<uint8_t> bytes = MakeBmp(static_cast<int>(state.range(0)));
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("orva_bmp_bench_" + std::to_string(getpid()) + ".bmp"))
                                 .string();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
        state.SkipWithError("cannot write the temporary file");
        if (file != nullptr) {
            std::fclose(file);
        }
        return;
    }
    std::fclose(file);
    for (auto _ : state) {
        orva::BmpImage image;
        if (orva::ReadBmpFile(path, image) != 1) {
            state.SkipWithError("read failed");
            break;
        }
        benchmark::DoNotOptimize(image.pixels);
        orva::ReleaseBmpImage(image);
    }
    std::filesystem::remove(path);
    ReportRate(state, bytes.size());
}
BENCHMARK(BM_ReadBmpFile)->Arg(24)->Arg(8)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
