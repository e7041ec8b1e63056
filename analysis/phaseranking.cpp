// SPDX-License-Identifier: BSD-3-Clause
#include "analysis/phaseranking.h"

#include <algorithm>  // for stable_sort

#include "library/spacegroup.h"

namespace saed::analysis {

indexing::IndexingInput phaseInput(const CrystalPhase& phase, const indexing::MeasuredPattern& measured,
                                   const indexing::Tolerances& tolerances, int rangeN, bool doubleDiffraction) {
    indexing::IndexingInput input;
    input.cell = phase.cell;
    input.latticeType = core::LatticeType::SpaceGroup;
    input.rule = library::phaseRule(phase);
    input.doubleDiffraction = doubleDiffraction;
    input.rangeN = rangeN;
    input.measured = measured;
    input.tolerances = tolerances;
    return input;
}

std::optional<indexing::SolutionFamily> bestFamily(std::span<const indexing::ResultRow> rows,
                                                   const indexing::IndexingInput& input) {
    if (rows.empty()) return std::nullopt;
    std::vector<double> misfits;
    misfits.reserve(rows.size());
    for (const indexing::ResultRow& row : rows)
        misfits.push_back(indexing::misfit(row, input.measured, input.tolerances));
    const indexing::FamilyGrouping grouping = indexing::groupFamilies(rows, misfits, indexing::familySymmetry(input));
    if (grouping.families.empty()) return std::nullopt;
    return grouping.families.front();
}

void sortRanking(std::vector<PhaseRank>& ranks) {
    std::stable_sort(ranks.begin(), ranks.end(), [](const PhaseRank& x, const PhaseRank& y) {
        if (x.best.has_value() != y.best.has_value()) return x.best.has_value();
        if (!x.best) return false;
        return x.best->misfit < y.best->misfit;
    });
}

std::vector<PhaseRank> rankPhases(std::span<const CrystalPhase> phases, const indexing::MeasuredPattern& measured,
                                  const indexing::Tolerances& tolerances, int rangeN, bool doubleDiffraction) {
    std::vector<PhaseRank> ranks;
    ranks.reserve(phases.size());
    for (std::size_t i = 0; i < phases.size(); ++i) {
        const indexing::IndexingInput input = phaseInput(phases[i], measured, tolerances, rangeN, doubleDiffraction);
        const std::vector<indexing::ResultRow> rows = indexing::indexPattern(input);
        PhaseRank rank{i, rows.size(), bestFamily(rows, input), false};
        if (rank.best) rank.doubleDiffraction = rows[rank.best->representative].doubleDiffraction;
        ranks.push_back(std::move(rank));
    }
    sortRanking(ranks);
    return ranks;
}

}  // namespace saed::analysis
