// Options that name crystal phases: --cif with one or more files or folders, and a space group
// given with --cell.
#pragma once

#include <optional>
#include <vector>

#include <QJsonObject>
#include <QStringList>
#include <QTextStream>

#include "library/crystalphase.h"

namespace saed::cli {

// Takes "--NAME a b c" (the values up to the next option) or "--NAME=a" out of `args`. No value
// when the option is absent; an empty list when it is given without a value.
std::optional<QStringList> takeListOption(QStringList& args, const QString& name);

// The phases of the CIF files and folders (a folder's *.cif files by name); every file that
// cannot be read is told on `err` as "saedindex-cli COMMAND: <file>: <reason>", and then no
// value is returned. Warnings about left-out data are told as well.
std::optional<std::vector<library::CrystalPhase>> loadCifPhases(const QStringList& paths, const QString& command,
                                                                QTextStream& err);

// The cell of six --cell texts (nm, degrees); no value, with `error` set, when a text is not a
// number.
std::optional<core::Cell> cellFromTexts(const QStringList& cell, QString& error);

// A phase from six --cell texts (nm, degrees) and a space-group symbol or number; no value, with
// `error` set, when a text is not a number or the group is unknown.
std::optional<library::CrystalPhase> phaseFromCell(const QStringList& cell, const QString& spaceGroup,
                                                   QString& error);

// Lattice type from a name (simple, base, body, face, rhombic) or a code 0..4; -1 when it is
// neither.
int latticeTypeCode(const QString& text);

// {"hm": ..., "number": ...}, or null without a space group.
QJsonValue spaceGroupJson(const library::CrystalPhase& phase);

}  // namespace saed::cli
