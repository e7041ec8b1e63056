// SPDX-License-Identifier: BSD-3-Clause
// Options that name crystal phases: --cif with one or more files or folders, and a space group
// given with --cell.
#pragma once

#include <array>
#include <optional>
#include <vector>

#include <QJsonArray>
#include <QJsonObject>
#include <QStringList>
#include <QTextStream>

#include "core/lattice.h"  // for LatticeType
#include "library/crystalphase.h"

namespace saed::cli {

// Takes "--NAME a b c" (the values up to the next option) or "--NAME=a" out of `args`. No value
// when the option is absent; an empty list when it is given without a value.
std::optional<QStringList> takeListOption(QStringList& args, const QString& name);

// The phases of the CIF files and folders (a folder's *.cif files by name). A file that cannot
// be read is told on `err` with its reason and skipped; no value when no phase at all was read.
// Warnings about left-out data are told as well.
std::optional<std::vector<library::CrystalPhase>> loadCifPhases(const QStringList& paths, const QString& command,
                                                                QTextStream& err);

// The cell of six --cell texts (nm, degrees); no value, with `error` naming the field, when a
// text is not a number, an edge is not in (0, 1e6] nm, an angle is not strictly between 0 and
// 180 degrees, or the angles form no cell.
std::optional<core::Cell> cellFromTexts(const QStringList& cell, QString& error);

// A phase from six --cell texts (nm, degrees) and a space-group symbol or number; no value, with
// `error` set, when a text is not a number or the group is unknown.
std::optional<library::CrystalPhase> phaseFromCell(const QStringList& cell, const QString& spaceGroup,
                                                   QString& error);

// The lattice type an option names (simple, base, body, face, rhombic) or numbers (0 to 4); no
// value when it is neither.
std::optional<core::LatticeType> latticeTypeOption(const QString& text);

// {"hm": ..., "number": ...}, or null without a space group.
QJsonValue spaceGroupJson(const library::CrystalPhase& phase);

}  // namespace saed::cli

namespace saed::cli {

// Reads indices given as three (h,k,l or u,v,w) or, for a hexagonal cell, four (h,k,i,l or
// U,V,T,W) comma-separated numbers into three-index form. `direction` chooses the conversion of
// directions ([U V T W] -> [U-T V-T W], reduced); planes drop i. `whole` refuses fractions, and
// every value must lie within -limit..limit. No value, with `error` naming `option`, for a count
// other than 3 or 4, four indices for a cell that is not hexagonal, i != -(h + k) or
// T != -(U + V), or a value that is not a number in range.
std::optional<std::array<double, 3>> readIndices(const QString& text, const QString& option, bool direction,
                                                 const core::Cell& cell, bool whole, double limit,
                                                 QString& error);

// The `hkil` or `uvtw` form of three whole indices as a JSON array.
QJsonArray fourIndexJson(const core::Hkl& plane);
QJsonArray fourIndexJson(const core::Uvw& direction);

}  // namespace saed::cli
