// SPDX-License-Identifier: BSD-3-Clause
// The phases the library offers beyond the nine-field text: the built-in set and the phases
// imported from CIF files, which are kept in the configuration folder.
#pragma once

#include <cstddef>
#include <vector>

#include <QString>
#include <QStringList>

#include "library/crystalphase.h"

namespace saed::library {

// What a set of CIF files and folders gave: the phases of every readable data block in order
// (a folder's *.cif files by name), and a message per file that could not be read.
struct CifPathsRead {
    std::vector<CrystalPhase> phases;
    QStringList errors;    // "<file>: <reason>"
    QStringList warnings;  // what was left out of a block that was read
};
CifPathsRead readCifPaths(const QStringList& paths);

// The file that keeps the imported phases: ImportedPhases.txt in the configuration folder, in
// the phase file format.
QString importedPhasesPath();

struct ImportedPhasesRead {
    std::vector<CrystalPhase> phases;
    QString error;  // the file exists but cannot be read as a phase file; no phases then
};
// A missing file is an empty set, not an error.
ImportedPhasesRead readImportedPhases(const QString& path);

// Writes the phases atomically (the folder is made when missing): either the whole new file is
// there or the old one stays. False when it could not be written, `error` (when given) saying why.
bool writeImportedPhases(const QString& path, const std::vector<CrystalPhase>& phases, QString* error = nullptr);

// Adds `added` to `phases`, leaving out any phase already there (equal in every field); returns
// how many were added.
std::size_t mergePhases(std::vector<CrystalPhase>& phases, const std::vector<CrystalPhase>& added);

}  // namespace saed::library
