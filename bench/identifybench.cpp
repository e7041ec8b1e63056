// SPDX-License-Identifier: BSD-3-Clause
// Identification of synthetic camera images against the whole built-in library: top-1 and top-3
// (right phase and right zone family), calibrated and with the scale fitted, the direct-beam
// error, and the time per image; then one 4096 x 4096 image end to end, and one detected pattern
// against the library.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <numeric>
#include <vector>

#include "analysis/identify.h"
#include "core/lattice.h"
#include "library/builtinphases.h"
#include "tools/cameraimage.h"

namespace {

using saed::analysis::PhaseSearch;

struct Case {
    std::size_t phase;
    saed::core::Uvw zone;
    saed::tools::CameraImage image;
    bool beamStop;
    std::uint32_t seed;
};

// Two zones of every built-in phase, among the four shortest zone families, drawn from fixed seeds.
const std::vector<Case>& cases() {
    static const std::vector<Case> all = [] {
        std::vector<Case> out;
        const auto& phases = saed::library::builtInPhases();
        PhaseSearch search(phases);
        for (std::size_t i = 0; i < phases.size(); ++i) {
            const saed::core::SquareMatrix g = saed::core::Metric(phases[i].cell);
            std::vector<std::pair<double, saed::core::Uvw>> zones;
            std::vector<saed::core::Uvw> families;
            for (int u = -2; u <= 2; ++u)
                for (int v = -2; v <= 2; ++v)
                    for (int w = -2; w <= 2; ++w) {
                        if (std::gcd(std::gcd(std::abs(u), std::abs(v)), std::abs(w)) != 1) continue;
                        const saed::core::Uvw z{u, v, w};
                        const saed::core::Uvw f = search.zoneFamily(i, z);
                        if (std::find(families.begin(), families.end(), f) != families.end()) continue;
                        families.push_back(f);
                        const std::array<int, 3> t{u, v, w};
                        zones.push_back({saed::core::BilinearFormOf(g, t, t), f});
                    }
            std::sort(zones.begin(), zones.end());
            int made = 0;
            for (std::uint32_t attempt = 0; made < 2 && attempt < 12; ++attempt) {
                const std::uint32_t seed = static_cast<std::uint32_t>(1000 * i + attempt + 1);
                const saed::core::Uvw zone = zones[(seed * 7 + made) % std::min<std::size_t>(zones.size(), 4)].second;
                if (made == 1 && !out.empty() && out.back().zone == zone) continue;
                const saed::tools::CameraSpec spec = saed::tools::randomCameraSpec(zone, seed);
                auto image = saed::tools::makeCameraImage(phases[i], spec);
                if (!image || image->spotsDrawn < 8) continue;
                out.push_back({i, zone, std::move(*image), spec.beamStop, seed});
                ++made;
            }
        }
        return out;
    }();
    return all;
}

void identifySet(benchmark::State& state, bool calibrated) {
    const auto& phases = saed::library::builtInPhases();
    const std::vector<Case>& set = cases();
    double top1 = 0, top3 = 0, top1Phase = 0, top1Tie = 0, beamError = 0, beamErrorMax = 0;
    int beamCases = 0;
    double seconds = 0;
    for (auto _ : state) {
        const auto started = std::chrono::steady_clock::now();
        PhaseSearch search(phases);
        top1 = top3 = top1Phase = top1Tie = beamError = beamErrorMax = 0;
        beamCases = 0;
        for (const Case& c : set) {
            saed::analysis::IdentifySettings settings;
            if (calibrated) settings.calibration = c.image.raster.calibration->perPixel;
            const auto result = saed::analysis::identifyImage(c.image.raster, search, settings);
            const saed::core::Uvw family = search.zoneFamily(c.phase, c.zone);
            const auto right = [&](const saed::analysis::Candidate& k) {
                return k.phase == c.phase && k.family == family;
            };
            const auto& list = result.candidates;
            const bool first = !list.empty() && right(list[0]);
            top1 += first;
            top1Phase += !list.empty() && list[0].phase == c.phase;
            top3 += std::any_of(list.begin(), list.begin() + std::min<std::ptrdiff_t>(3, list.size()), right);
            top1Tie += std::any_of(list.begin(), list.end(), [&](const auto& k) {
                return right(k) && (k.tie == 1 || &k == &list[0]);
            });
            if (!c.beamStop && result.net.status == saed::analysis::NetStatus::Ok) {
                const double e = std::hypot(result.net.centre.x - c.image.centreX, result.net.centre.y - c.image.centreY);
                beamError += e;
                beamErrorMax = std::max(beamErrorMax, e);
                ++beamCases;
            }
            seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
            if (!first) {
                std::fprintf(stderr, "%s miss: %s [%lld %lld %lld] seed %u net %d spots %zu/%zu: ", calibrated ? "cal" : "uncal",
                             phases[c.phase].name.c_str(), c.zone[0], c.zone[1], c.zone[2], c.seed,
                             static_cast<int>(result.net.status), result.net.spotsExplained, result.net.spotsDetected);
                for (std::size_t k = 0; k < list.size() && k < 3; ++k)
                    std::fprintf(stderr, "%s<%lld %lld %lld> %.1f%s; ", phases[list[k].phase].name.c_str(),
                                 list[k].family[0], list[k].family[1], list[k].family[2], list[k].score,
                                 right(list[k]) ? "*" : "");
                const auto hit = std::find_if(list.begin(), list.end(), right);
                const auto parts = [](const saed::analysis::Candidate& k) {
                    std::fprintf(stderr, " [geo %.2f shape %.2f scale %.2f present %.2f expl %.2f int %.2f fit %.2f mis %.2f]", k.parts.geometry,
                                 k.parts.shapeMisfit, k.parts.scaleMisfit, k.parts.present, k.parts.explained,
                                 k.parts.intensity, k.parts.intensityFit, k.parts.intensityMisfit);
                };
                if (!list.empty()) parts(list[0]);
                if (hit != list.end()) {
                    std::fprintf(stderr, " right #%td %.1f%s", hit - list.begin() + 1, hit->score, hit->tie == 1 ? " tied" : "");
                    parts(*hit);
                }
                std::fprintf(stderr, "\n");
            }
        }
    }
    const double n = static_cast<double>(set.size());
    state.counters["images"] = n;
    state.counters["top1_%"] = 100 * top1 / n;
    state.counters["top1_phase_%"] = 100 * top1Phase / n;
    state.counters["top1_or_tied_%"] = 100 * top1Tie / n;
    state.counters["top3_%"] = 100 * top3 / n;
    state.counters["beam_err_px"] = beamCases ? beamError / beamCases : 0;
    state.counters["beam_err_max_px"] = beamErrorMax;
    state.counters["ms_per_image"] = 1000 * seconds / n;
}

void BM_IdentifyCalibrated(benchmark::State& state) { identifySet(state, true); }
BENCHMARK(BM_IdentifyCalibrated)->Iterations(1)->Unit(benchmark::kSecond);

void BM_IdentifyUncalibrated(benchmark::State& state) { identifySet(state, false); }
BENCHMARK(BM_IdentifyUncalibrated)->Iterations(1)->Unit(benchmark::kSecond);

// The first 100 built-in phases.
std::vector<saed::library::CrystalPhase> hundredPhases() {
    const auto& all = saed::library::builtInPhases();
    return {all.begin(), all.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(100, all.size()))};
}

void BM_Identify4kEndToEnd(benchmark::State& state) {
    const auto phases = hundredPhases();
    auto spec = saed::tools::randomCameraSpec({0, 1, 1}, 7, 4096);
    const auto image = saed::tools::makeCameraImage(phases[0], spec);
    for (auto _ : state) {
        PhaseSearch search(phases);
        saed::analysis::IdentifySettings settings;
        settings.calibration = image->raster.calibration->perPixel;
        benchmark::DoNotOptimize(saed::analysis::identifyImage(image->raster, search, settings));
    }
}
BENCHMARK(BM_Identify4kEndToEnd)->Unit(benchmark::kMillisecond);

void BM_IdentifyDetectedPattern(benchmark::State& state) {
    const auto phases = hundredPhases();
    const auto image = saed::tools::makeCameraImage(phases[0], saed::tools::randomCameraSpec({0, 1, 1}, 7));
    PhaseSearch search(phases);
    saed::analysis::IdentifySettings settings;
    settings.calibration = image->raster.calibration->perPixel;
    const auto analysed = saed::analysis::identifyImage(image->raster, search, settings);
    for (auto _ : state)
        benchmark::DoNotOptimize(search.identify(analysed.net, analysed.spots, settings));
}
BENCHMARK(BM_IdentifyDetectedPattern)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
