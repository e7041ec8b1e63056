// SPDX-License-Identifier: BSD-3-Clause
// The JSON of an indexing run read back: the cell and phase it was run with and its rows, for
// the commands that work on results (tilt, orient).
#pragma once

#include <map>
#include <optional>
#include <vector>

#include <QString>

#include "calculator/tiltcheck.h"
#include "core/lattice.h"

namespace saed::cli {

struct ResultFile {
    core::Cell cell;
    int type = -1;
    QString spaceGroup;
    std::vector<calculator::IndexedSolution> rows;
    std::map<int, core::Uvw> familyZones;  // the zone of each family of the file's list
};

// Reads the JSON that `saedindex-cli index --format json` (or the window's JSON export) writes.
// No value, with `error` naming the file, when it cannot be read, is not JSON, or lacks the
// cell or the rows.
std::optional<ResultFile> readResultFile(const QString& path, QString& error);

// True when two result files were run on the same phase: equal cells, lattice type and space group.
bool samePhase(const ResultFile& a, const ResultFile& b);

}  // namespace saed::cli
