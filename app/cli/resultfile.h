// SPDX-License-Identifier: BSD-3-Clause
// The JSON of an indexing run read back: the cell and phase it was run with and its rows, for
// the commands that work on results (tilt, orient).
#pragma once

#include <array>
#include <map>
#include <optional>
#include <vector>

#include <QString>

#include "calculator/tiltcheck.h"
#include "core/lattice.h"

namespace saed::cli {

struct ResultFile {
    core::Cell cell;
    core::LatticeType type = core::LatticeType::None;  // the run's; None for an identification, which tells none
    QString spaceGroup;
    QString phase;  // the phase's name, where the file tells it (an identification)
    std::vector<calculator::IndexedSolution> rows;
    std::map<int, core::Uvw> familyZones;  // the zone of each family of the file's list
    // The rows are candidates of an identification: their group is the candidate's rank.
    bool candidates = false;
    // Where g1 and g2 point in the image, degrees counter-clockwise from the image's right, when
    // the file knows it (an identification: along the net's a and b); none for typed values.
    std::optional<std::array<double, 2>> directionsDeg;
};

// Reads the JSON that `saedindex-cli index --format json` (or the window's JSON export) writes.
// No value, with `error` naming the file, when it cannot be read, is not JSON, lacks the cell or
// the rows, or gives a lattice type that is none of the selector's codes (-1 to 5).
std::optional<ResultFile> readResultFile(const QString& path, QString& error);

// The result sets of a file: the one of an indexing run, or from the JSON of `saedindex-cli
// identify` one per phase among its candidates, the best ranked phase first. No value, with
// `error` naming the file, when it cannot be read or is neither.
std::optional<std::vector<ResultFile>> readResultSets(const QString& path, QString& error);

// True when two result sets belong to the same phase: equal cells, and the lattice type, space
// group and name wherever both tell them (two runs' lattice types and space groups always).
bool samePhase(const ResultFile& a, const ResultFile& b);

}  // namespace saed::cli
