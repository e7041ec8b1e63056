// SPDX-License-Identifier: BSD-3-Clause
// Writers of a table model for the command line: aligned text, TSV and JSON.
#pragma once

#include <QAbstractItemModel>
#include <QJsonObject>
#include <QString>
#include <QTextStream>

namespace saed::cli {

// Width of `text` in terminal columns: East Asian wide and full-width characters take two.
int displayWidth(const QString& text);

// The header row and every row of `model` (its first `columns` columns, all when negative), each
// column padded to its widest cell and aligned as the model's TextAlignmentRole says (left, right
// or centred), one blank between columns.
void writeAlignedTable(QTextStream& out, const QAbstractItemModel& model, int columns = -1);

// One line per row, the cell texts of the first `columns` columns (all when negative)
// separated by tabs, no header.
void writeTsv(QTextStream& out, const QAbstractItemModel& model, int columns = -1);

// `object` as indented JSON, ending with a newline.
void writeJson(QTextStream& out, const QJsonObject& object);

}  // namespace saed::cli
