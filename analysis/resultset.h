// SPDX-License-Identifier: BSD-3-Clause
// The result set of the last indexing run as the tilt check and the orientation take it: the
// phase's cell, lattice type and rule, and the table's rows with their families.
#pragma once

#include <array>
#include <cstddef>
#include <memory>  // for shared_ptr
#include <optional>
#include <vector>

#include <QString>

#include "calculator/tiltcheck.h"
#include "core/lattice.h"
#include "core/reflectionrule.h"

namespace saed::indexing {
class IndexingOperations;
}  // namespace saed::indexing
namespace saed::model {
class MainModel;
}  // namespace saed::model

namespace saed::analysis {

// One result set: the phase's cell and rule, and the rows of the run.
struct ResultSet {
    core::Cell cell;
    core::LatticeType type = core::LatticeType::None;
    QString phase;  // what tells phases apart: the name and space group
    std::shared_ptr<const core::ReflectionRule> rule;
    std::vector<calculator::IndexedSolution> rows;
    bool candidates = false;  // the rows are an image's candidates, their group the rank
    // Where g1 and g2 of every row point in the image (degrees, counter-clockwise from the
    // right): known for an image's candidates, whose net gives them.
    std::optional<std::array<double, 2>> directionsDeg = std::nullopt;
};

// The set and the position in its rows of the row whose group is shown; none when no row is.
struct CurrentResults {
    ResultSet set;
    std::optional<std::size_t> selected;
};

// The lattice fields, lattice type and phase of `model` with the rows its table holds (in table
// order, each with its family from `run`); the rule is the lattice type's, or the phase's space
// group's for SpaceGroup (none without one). `shownGroup` marks the selected row.
CurrentResults currentResults(const model::MainModel& model, const indexing::IndexingOperations& run, int shownGroup);

}  // namespace saed::analysis
