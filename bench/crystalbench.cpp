// SPDX-License-Identifier: BSD-3-Clause
// Screening-size work on crystal phases: the allowed reflections of 1,000 phases at N = 5 by
// space group and structure factor, and the double-diffraction test of a whole range.
#include <benchmark/benchmark.h>

#include "core/reflectionrule.h"
#include "library/builtinphases.h"
#include "analysis/phaseranking.h"
#include "library/spacegroup.h"

namespace {

using saed::library::builtInPhases;
using saed::library::SpaceGroupRule;

// One screening's worth: each phase's rule and its allowed list with spacings, the built-in set
// cycled to 1,000 phases.
void BM_AllowedLists1000PhasesN5(benchmark::State& state) {
    const auto& phases = builtInPhases();
    for (auto _ : state) {
        std::size_t total = 0;
        for (int i = 0; i < 1000; ++i) {
            const auto& phase = phases[static_cast<std::size_t>(i) % phases.size()];
            const SpaceGroupRule rule(phase);
            const saed::core::ReflectionTable table(rule, 5);
            const auto gs = saed::core::ReciprocalMetric(phase.cell);
            for (const auto& g : table.allowed()) total += saed::core::Spacing(gs, g) ? 1 : 0;
        }
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_AllowedLists1000PhasesN5)->Unit(benchmark::kMillisecond);

// Every forbidden reflection of cementite (P n m a, 16 atoms) at N = 5 tested for double
// diffraction.
void BM_DoubleDiffractionCementiteN5(benchmark::State& state) {
    const auto& phases = builtInPhases();
    const auto* fe3c = &phases.front();
    for (const auto& p : phases)
        if (p.name == "Fe3C (cementite)") fe3c = &p;
    const SpaceGroupRule rule(*fe3c);
    const saed::core::ReflectionTable table(rule, 5);
    for (auto _ : state) {
        int reachable = 0;
        for (int h = -5; h <= 5; ++h)
            for (int k = -5; k <= 5; ++k)
                for (int l = -5; l <= 5; ++l)
                    reachable += table.reachableByDoubleDiffraction({h, k, l}) ? 1 : 0;
        benchmark::DoNotOptimize(reachable);
    }
}
BENCHMARK(BM_DoubleDiffractionCementiteN5)->Unit(benchmark::kMillisecond);

// A ranked screening: 1,000 phases (the built-in set cycled) each indexed at N = 5 by its space
// group against an aluminium [0 1 1] pattern, the best family of each, and the sort. Argument 1
// also lets in double diffraction.
void BM_RankedScreening1000PhasesN5(benchmark::State& state) {
    const auto& builtIn = builtInPhases();
    std::vector<saed::library::CrystalPhase> phases;
    for (std::size_t i = 0; i < 1000; ++i) phases.push_back(builtIn[i % builtIn.size()]);
    const auto gs = saed::core::ReciprocalMetric(builtIn.front().cell);  // Al
    const saed::core::Hkl g1{1, 1, -1}, g2{2, 0, 0}, g3{3, 1, -1};
    const saed::indexing::MeasuredPattern pattern{
        {*saed::core::Spacing(gs, g1), *saed::core::Spacing(gs, g2), *saed::core::Spacing(gs, g3)},
        {*saed::core::PlaneAngle(gs, g1, g2), *saed::core::PlaneAngle(gs, g2, g3), *saed::core::PlaneAngle(gs, g1, g3)}};
    std::size_t ranked = 0;
    for (auto _ : state) {
        const auto ranks = saed::analysis::rankPhases(phases, pattern, {}, 5, state.range(0) != 0);
        ranked += ranks.front().best ? 1 : 0;
        benchmark::DoNotOptimize(ranks.data());
    }
    state.counters["withSolutions"] = static_cast<double>(ranked) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_RankedScreening1000PhasesN5)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
