// SPDX-License-Identifier: BSD-3-Clause
// The ranking of a screening: each phase's best solution family for a measured pattern, phases
// ordered by it.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "indexing/indexingengine.h"
#include "indexing/solutionfamilies.h"
#include "library/crystalphase.h"

namespace saed::analysis {

using library::CrystalPhase;

// The indexing input of a phase: its cell, its rule, the pattern and range.
indexing::IndexingInput phaseInput(const CrystalPhase& phase, const indexing::MeasuredPattern& measured,
                                   const indexing::Tolerances& tolerances, int rangeN,
                                   bool doubleDiffraction);

// The best family (least misfit) of a run's rows, grouped under the holohedry of the cell; no
// value without rows.
std::optional<indexing::SolutionFamily> bestFamily(std::span<const indexing::ResultRow> rows,
                                                   const indexing::IndexingInput& input);

struct PhaseRank {
    std::size_t phase = 0;  // position in the screened list
    std::size_t rows = 0;   // rows of its run
    std::optional<indexing::SolutionFamily> best;
    bool doubleDiffraction = false;  // the best family's representative uses double diffraction
};

// Orders ranks by the best family's misfit, least first; phases without rows last; ties keep
// the screened order.
void sortRanking(std::vector<PhaseRank>& ranks);

// Indexes the pattern with every phase and ranks them (sortRanking).
std::vector<PhaseRank> rankPhases(std::span<const CrystalPhase> phases, const indexing::MeasuredPattern& measured,
                                  const indexing::Tolerances& tolerances, int rangeN, bool doubleDiffraction);

}  // namespace saed::analysis
