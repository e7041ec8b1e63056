// SPDX-License-Identifier: BSD-3-Clause
// The indexing search: every triple of planes g1 + g2 = g3 whose spacings and angles match a
// measured spot pattern.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include "core/lattice.h"
#include "core/reflectionrule.h"
#include "core/resultrow.h"

namespace saed::indexing {

using core::Hkl;

// The three measured spacings (nm) of spots R1, R2, R3 and the angles <R1,R2>, <R2,R3>,
// <R1,R3> (degrees).
struct MeasuredPattern {
    std::array<double, 3> spacingNm{};
    std::array<double, 3> angleDeg{};
};

// Spacing tolerances (nm) and angle tolerances (degrees), in the order of MeasuredPattern.
struct Tolerances {
    std::array<double, 3> spacingNm{0.008, 0.008, 0.008};
    std::array<double, 3> angleDeg{2, 2, 2};
};

struct IndexingInput {
    core::Cell cell;
    // The lattice type whose reflection condition applies, or SpaceGroup for `rule`; None, or
    // SpaceGroup without a rule, admits nothing.
    core::LatticeType latticeType = core::LatticeType::Simple;
    int rangeN = 5;       // h, k and l each run over -N..N; a negative N examines nothing
    MeasuredPattern measured;
    Tolerances tolerances;
    std::shared_ptr<const core::ReflectionRule> rule;
    // Also lets in forbidden planes that are the sum of two allowed planes of the row's zone
    // (double diffraction); such rows carry ResultRow::doubleDiffraction.
    bool doubleDiffraction = false;
};

// One accepted triple (see core::ResultRow).
using core::ResultRow;

// Every accepted triple, in the order of the search loops: by the position of g1 in the list of
// planes matching d1, then of g2 in the list matching d2, then of g3 in the list matching d3;
// each list ordered by h, then k, then l, ascending from -N.
//
// A plane enters list n when |dn - d| <= tolerance (equality passes); a triple is accepted when
// each of its three angles differs from the measured one by less than its tolerance (equality
// fails). Parallel and antiparallel planes have the angle 0 or 180 and are screened like any
// others; a triple containing a plane without a spacing ((0 0 0), or any plane of a metric that
// is not positive) is never accepted.
//
// Triples are found by looking g1 + g2 up in an index of list 3, so the cost grows with
// |list 1| x |list 2| rather than with the product of all three lists.
std::vector<ResultRow> indexPattern(const IndexingInput& input);

// The most rows a run keeps: far above any real pattern (a few thousand rows), low enough that
// the rows, their table and a report stay well inside a desktop's memory.
inline constexpr std::size_t kRowLimit = 5'000'000;

// How a run ended: with every accepted triple, at the row limit, or cancelled.
enum class RunEnd { Complete, RowLimit, Cancelled };

// Progress and cancel of a run. Both are called from the thread that runs the search, between
// planes of the first list; either may be empty.
struct RunControl {
    std::size_t rowLimit = kRowLimit;
    std::function<bool()> cancelled;         // true stops the run
    std::function<void(double)> progress;    // fraction done, 0..1, rising
};

struct IndexingResult {
    std::vector<ResultRow> rows;  // in search order; the rows found before a stop
    RunEnd end = RunEnd::Complete;
};

// indexPattern with a row limit, progress and cancel. A run that reaches control.rowLimit rows
// stops there and keeps them; a cancelled run keeps the rows found so far.
IndexingResult indexPattern(const IndexingInput& input, const RunControl& control);

// The same rows by the plain triple loop over all three lists, with the (0 0 0) entries that
// pad the list of admitted planes. Slow; kept as the reference for tests and the benchmark.
std::vector<ResultRow> indexPatternTripleLoop(const IndexingInput& input);

}  // namespace saed::indexing
