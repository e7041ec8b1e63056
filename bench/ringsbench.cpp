// SPDX-License-Identifier: BSD-3-Clause
// Ring patterns: accuracy over a set of synthetic ring images of built-in phases (camera
// constant, axis ratio, centre, right phase first), the time of one 4096 x 4096 image, and spot
// patterns recorded under a 5 % distortion indexed with and without a saved calibration.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "analysis/ringindexing.h"
#include "analysis/ringpattern.h"
#include "core/holohedry.h"
#include "indexing/indexingengine.h"
#include "library/builtinphases.h"
#include "store/calibrationlines.h"
#include "tools/ringgenerator.h"

namespace {

using namespace saed;

constexpr int kImages = 60;

struct Case {
    tools::RingSpec spec;
    std::size_t phase = 0;
    core::Raster raster;
};

// Phases with atoms (every built-in phase has them), drawn at random with random settings:
// camera constant, distortion 0 to 5 % at any angle, centre, grain size, dose.
const std::vector<Case>& cases() {
    static const std::vector<Case> all = [] {
        std::vector<Case> out;
        std::mt19937 random(2026);
        const auto& phases = library::builtInPhases();
        std::uniform_int_distribution<std::size_t> pick(0, phases.size() - 1);
        std::uniform_real_distribution<double> u(0.0, 1.0);
        for (int n = 0; n < kImages; ++n) {
            Case c;
            c.phase = pick(random);
            c.spec.width = c.spec.height = 1024;
            c.spec.perPixel = 0.018 + 0.014 * u(random);
            c.spec.distortion = {1.0 + 0.05 * u(random), 180 * u(random)};
            c.spec.centreX = 512 + 40 * (u(random) - 0.5);
            c.spec.centreY = 512 + 40 * (u(random) - 0.5);
            c.spec.grainSizeNm = 15 + 45 * u(random);
            c.spec.ringCounts = 1e7 * (1 + 4 * u(random));
            c.spec.beamStopArmDeg = 360 * u(random);
            c.spec.seed = static_cast<std::uint32_t>(n + 1);
            const std::vector<std::vector<analysis::PowderLine>> lines{
                analysis::powderLines(phases[c.phase], c.spec.perPixel * 1100)};
            const std::vector<double> weights{1.0};
            c.raster = tools::makeRings(c.spec, lines, weights).raster;
            out.push_back(std::move(c));
        }
        return out;
    }();
    return all;
}

// Two phases whose rings fall within the calibration's uncertainty of each other cannot be told
// apart by the rings' spacings: counted apart from the misses.
bool sameRings(const library::CrystalPhase& a, const library::CrystalPhase& b, double perPixel, double outerPx) {
    const auto la = analysis::powderLines(a, perPixel * outerPx), lb = analysis::powderLines(b, perPixel * outerPx);
    std::size_t n = std::min<std::size_t>(std::min(la.size(), lb.size()), 6);
    if (n < 3) return false;
    for (std::size_t i = 0; i < n; ++i)
        if (std::abs(la[i].gInvNm / lb[i].gInvNm - 1) > 0.004) return false;
    return true;
}

void BM_RingSet(benchmark::State& state) {
    const auto& set = cases();
    const auto& phases = library::builtInPhases();
    double kErrMax = 0, kErrSum = 0, ratioErrMax = 0, ratioErrSum = 0, centreErrMax = 0, centreErrSum = 0;
    int measured = 0, calibrated = 0, first = 0, tied = 0;
    for (auto _ : state) {
        kErrMax = kErrSum = ratioErrMax = ratioErrSum = centreErrMax = centreErrSum = 0;
        measured = calibrated = first = tied = 0;
        for (const Case& c : set) {
            const analysis::RingPattern p = analysis::measureRings(c.raster);
            if (p.failure != analysis::RingFailure::None) {
                std::fprintf(stderr, "%s: failure %d\n", phases[c.phase].name.c_str(), static_cast<int>(p.failure));
                continue;
            }
            ++measured;
            const double centreErr = std::hypot(p.centreX - c.spec.centreX, p.centreY - c.spec.centreY);
            const double ratioErr = std::abs(p.distortion.ratio - c.spec.distortion.ratio);
            centreErrMax = std::max(centreErrMax, centreErr);
            centreErrSum += centreErr;
            ratioErrMax = std::max(ratioErrMax, ratioErr);
            ratioErrSum += ratioErr;
            const auto lines = analysis::linesForPattern(phases[c.phase], p, std::nullopt);
            const analysis::RingCalibration cal = analysis::calibrateRings(p, lines);
            if (cal.matches) {
                ++calibrated;
                const double kErr = std::abs(cal.perPixel / c.spec.perPixel - 1);
                kErrMax = std::max(kErrMax, kErr);
                kErrSum += kErr;
            } else {
                std::fprintf(stderr,
                             "%s: calibration does not match (%d rings matched of %zu, %.0f %% of the intensity "
                             "explained, %.0f %% missing, rms %.2g)\n",
                             phases[c.phase].name.c_str(), cal.matched, p.rings.size(), 100 * cal.explained,
                             100 * cal.missing, cal.rmsRelative);
            }
            // The phase ranking under a calibration good to 0.2 %.
            const analysis::RingPhaseRanking r = analysis::rankRingPhases(p, phases, c.spec.perPixel, 0.002);
            if (!r.ranked.empty() && r.ranked.front().phase == c.phase) ++first;
            else if (!r.ranked.empty() && sameRings(phases[r.ranked.front().phase], phases[c.phase], c.spec.perPixel, 700))
                ++tied;
            else if (!r.ranked.empty())
                std::fprintf(stderr, "%s ranked below %s\n", phases[c.phase].name.c_str(),
                             phases[r.ranked.front().phase].name.c_str());
        }
    }
    state.counters["images"] = static_cast<double>(set.size());
    state.counters["measured"] = measured;
    state.counters["calibrated"] = calibrated;
    state.counters["k_err_max_pct"] = 100 * kErrMax;
    state.counters["k_err_mean_pct"] = calibrated ? 100 * kErrSum / calibrated : 0;
    state.counters["ratio_err_max"] = ratioErrMax;
    state.counters["ratio_err_mean"] = measured ? ratioErrSum / measured : 0;
    state.counters["centre_err_max_px"] = centreErrMax;
    state.counters["centre_err_mean_px"] = measured ? centreErrSum / measured : 0;
    state.counters["phase_first_pct"] = 100.0 * first / static_cast<double>(set.size());
    state.counters["phase_same_rings_pct"] = 100.0 * tied / static_cast<double>(set.size());
}
BENCHMARK(BM_RingSet)->Iterations(1)->Unit(benchmark::kSecond);

// One 4096 x 4096 gold image: the rings, the calibration with gold and the ranking of every
// built-in phase under the file's calibration.
void BM_Rings4096(benchmark::State& state) {
    static const auto image = [] {
        tools::RingSpec spec;
        spec.width = spec.height = 4096;
        spec.centreX = 2050.3;
        spec.centreY = 2041.7;
        spec.perPixel = 0.006;
        spec.distortion = {1.03, 62.0};
        spec.ringCounts = 4e8;
        spec.beamStopRadiusPx = 60;
        spec.diffuseRadiusPx = 200;
        const auto& gold = *std::find_if(library::builtInPhases().begin(), library::builtInPhases().end(),
                                         [](const auto& p) { return p.name == "Au"; });
        const std::vector<std::vector<analysis::PowderLine>> lines{analysis::powderLines(gold, spec.perPixel * 3000)};
        const std::vector<double> weights{1.0};
        return std::pair{tools::makeRings(spec, lines, weights).raster, gold};
    }();
    const auto& phases = library::builtInPhases();
    std::size_t rings = 0;
    double k = 0;
    std::string firstName;
    for (auto _ : state) {
        const analysis::RingPattern p = analysis::measureRings(image.first);
        const auto lines = analysis::linesForPattern(image.second, p, std::nullopt);
        const analysis::RingCalibration cal = analysis::calibrateRings(p, lines);
        const analysis::RingPhaseRanking r = analysis::rankRingPhases(p, phases, image.first.calibration->perPixel, 0.002);
        rings = p.rings.size();
        k = cal.perPixel;
        firstName = r.ranked.empty() ? "" : phases[r.ranked.front().phase].name;
    }
    state.counters["rings"] = static_cast<double>(rings);
    state.counters["k_err_pct"] = 100 * std::abs(k / 0.006 - 1);
    state.counters["gold_first"] = firstName == "Au" ? 1 : 0;
}
BENCHMARK(BM_Rings4096)->Iterations(3)->Unit(benchmark::kMillisecond);

// The same (hkl) triples in the same order.
bool samePlanes(const std::vector<indexing::ResultRow>& a, const std::vector<indexing::ResultRow>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].g1 != b[i].g1 || a[i].g2 != b[i].g2 || a[i].g3 != b[i].g3) return false;
    return true;
}

// Aluminium spot patterns of two zones at 36 turns, recorded under a 5 % distortion: indexed
// with the default tolerances as measured, and after the saved calibration's distortion is
// removed from R1 and R2. Counts the patterns whose rows are those of the undistorted pattern.
void BM_DistortedSpots(benchmark::State& state) {
    const core::Cell al{0.40495, 0.40495, 0.40495, 90, 90, 90};
    const auto gs = core::ReciprocalMetric(al);
    store::SavedCalibration saved;
    saved.distortion = {1.05, 37.0};
    const double pxPerInvNm = 40;
    struct Zone {
        core::Hkl g1, g2;
    };
    const std::vector<Zone> zones{{{1, 1, -1}, {1, -1, 1}}, {{3, 1, -1}, {-1, -3, 1}}};
    int asNone = 0, distortedSame = 0, correctedSame = 0, total = 0;
    const auto indexOf = [&](double l1, double l2, double l3, double a12, double a23, double a13) {
        indexing::IndexingInput in;
        in.cell = al;
        in.latticeType = saed::core::LatticeType::FaceCentred;
        in.rangeN = 4;
        in.measured.spacingNm = {pxPerInvNm / l1, pxPerInvNm / l2, pxPerInvNm / l3};
        in.measured.angleDeg = {a12, a23, a13};
        return indexing::indexPattern(in);
    };
    const auto rowsOf = [&](double v1x, double v1y, double v2x, double v2y) {
        const double v3x = v1x + v2x, v3y = v1y + v2y;
        const auto angle = [](double ax, double ay, double bx, double by) {
            return std::acos(std::clamp((ax * bx + ay * by) / std::hypot(ax, ay) / std::hypot(bx, by), -1.0, 1.0)) * 180 /
                   3.14159265358979323846;
        };
        return indexOf(std::hypot(v1x, v1y), std::hypot(v2x, v2y), std::hypot(v3x, v3y), angle(v1x, v1y, v2x, v2y),
                       angle(v2x, v2y, v3x, v3y), angle(v1x, v1y, v3x, v3y));
    };
    for (auto _ : state) {
        asNone = distortedSame = correctedSame = total = 0;
        for (const Zone& z : zones)
            for (int turn = 0; turn < 36; ++turn) {
                const double t = turn * 10 * 3.14159265358979323846 / 180;
                const double l1 = pxPerInvNm / *core::Spacing(gs, z.g1), l2 = pxPerInvNm / *core::Spacing(gs, z.g2);
                const double a = *core::PlaneAngle(gs, z.g1, z.g2) * 3.14159265358979323846 / 180;
                double v1x = l1 * std::cos(t), v1y = l1 * std::sin(t);
                double v2x = l2 * std::cos(t + a), v2y = l2 * std::sin(t + a);
                const auto truth = rowsOf(v1x, v1y, v2x, v2y);
                saved.distortion.distort(v1x, v1y);
                saved.distortion.distort(v2x, v2y);
                const auto recorded = rowsOf(v1x, v1y, v2x, v2y);
                store::removeDistortion(saved, v1x, v1y);
                store::removeDistortion(saved, v2x, v2y);
                const auto corrected = rowsOf(v1x, v1y, v2x, v2y);
                ++total;
                asNone += !truth.empty();
                distortedSame += !truth.empty() && samePlanes(recorded, truth);
                correctedSame += !truth.empty() && samePlanes(corrected, truth);
            }
    }
    state.counters["patterns"] = total;
    state.counters["indexed_undistorted"] = asNone;
    state.counters["same_rows_distorted"] = distortedSame;
    state.counters["same_rows_corrected"] = correctedSame;
}
BENCHMARK(BM_DistortedSpots)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
