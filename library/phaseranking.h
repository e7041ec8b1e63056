// Phases in the library tree, and the ranking of a screening: each phase's best solution family
// for a measured pattern, phases ordered by it.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "indexing/indexingengine.h"
#include "indexing/solutionfamilies.h"
#include "library/crystalphase.h"

namespace saed::library {

// The centring word of the phase's lattice type as the library's type texts spell it (简单点阵,
// 底心点阵, 体心点阵, 面心点阵, 菱形点阵), from the first letter of its space-group symbol;
// 简单点阵 without a space group.
std::string latticeTypeText(const CrystalPhase& phase);

// "F d -3 m (227)"; empty without a space group.
std::string spaceGroupLabel(const CrystalPhase& phase);

// The phases as records of the nine-field library text (name; type; c/a; a; b; c; alpha; beta;
// gamma, each followed by ";"), to be appended after the records of the nine-field text. The
// type field is latticeTypeText and the space group; ";" and line breaks in names become spaces.
std::string libraryRecords(std::span<const CrystalPhase> phases);

// The reflection rule of a phase: its space group and atoms (a phase without a space group as
// P 1).
std::shared_ptr<const core::ReflectionRule> phaseRule(const CrystalPhase& phase);

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

}  // namespace saed::library
