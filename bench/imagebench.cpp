// SPDX-License-Identifier: BSD-3-Clause
// Reading, displaying and finding spots in large images: a 4096 x 4096 16-bit TIFF, its 8-bit
// display with percentiles, and spot detection on a 2048 x 2048 pattern.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "core/imagedisplay.h"
#include "core/raster.h"
#include "measure/spots.h"
#include "tools/patterngenerator.h"

namespace {

saed::tools::Pattern bigPattern(int side) {
    saed::tools::PatternSpec spec;
    spec.width = spec.height = side;
    spec.centreX = side / 2.0 + 0.37;
    spec.centreY = side / 2.0 - 0.19;
    spec.pixelsPerInvNm = side / 40.0;
    return saed::tools::makePattern(spec);
}

void BM_ReadTiff4k(benchmark::State& state) {
    const auto pattern = bigPattern(4096);
    const std::string path = (std::filesystem::temp_directory_path() / "saed_bench_4k.tif").string();
    std::string error;
    saed::core::writeTiff(path, pattern.raster, error);
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    for (auto _ : state) benchmark::DoNotOptimize(saed::core::readTiff(bytes.data(), bytes.size()));
    std::remove(path.c_str());
}
BENCHMARK(BM_ReadTiff4k)->Unit(benchmark::kMillisecond);

void BM_Display4k(benchmark::State& state) {
    const auto pattern = bigPattern(4096);
    saed::core::DisplaySettings settings = saed::core::defaultDisplaySettings(pattern.raster);
    settings.mapping = saed::core::DisplayMapping::Logarithmic;
    for (auto _ : state) benchmark::DoNotOptimize(saed::core::makeDisplay(pattern.raster, settings));
}
BENCHMARK(BM_Display4k)->Unit(benchmark::kMillisecond);

void BM_DetectSpots2k(benchmark::State& state) {
    const auto pattern = bigPattern(2048);
    for (auto _ : state) benchmark::DoNotOptimize(saed::measure::detectSpots(pattern.raster));
}
BENCHMARK(BM_DetectSpots2k)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
