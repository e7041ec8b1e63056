// SPDX-License-Identifier: BSD-3-Clause
// The open exports of an indexing run, the same from the window and the command line: the run as
// a JSON object and the result table as CSV for spreadsheets.
#pragma once

#include <optional>
#include <vector>

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include "indexing/solutionfamilies.h"

namespace saed::model {
class MainModel;
class ResultTableModel;
}  // namespace saed::model

namespace saed::indexing {

class IndexingOperations;

// A family with its match against an image (0..1); no match without an image, or when the
// family's pattern could not be placed on it.
struct RankedFamily {
    SolutionFamily family;
    std::optional<double> match;
};

// The families of `grouping` best first: by misfit, or, when `matchOfId` is given (one entry per
// family id - 1), by match first, a family without a match last, misfit among equals.
std::vector<RankedFamily> rankFamilies(const FamilyGrouping& grouping,
                                       const std::optional<std::vector<std::optional<double>>>& matchOfId);

// How the JSON's input names the measured pattern: the scale bar with the lengths and spot
// spacings of R1..R3, or the spacings d1..d3 given directly (as segment counts over unit lengths).
enum class PatternInput { ScaleBar, Spacings };

// The last run of `operations` as one object: "input" (the fields as they stand: cell, type,
// range, pattern, angles, tolerances), "measured" (d1..d3 in nm), "count", "rows" in group order with
// their numbers, zone, family, misfit and double-diffraction mark, and "families" in the order
// given. Rows come from the model's result table, so the window, which does not keep the run's
// rows, writes the same object as the command line.
QJsonObject resultJson(const model::MainModel& model, const IndexingOperations& operations, PatternInput pattern,
                       const std::vector<RankedFamily>& families);

// `object` as indented UTF-8 JSON, ending with a newline.
QByteArray jsonBytes(const QJsonObject& object);

// The captions of the CSV's columns in the interface language: the twenty of the result table,
// then zone axis, misfit, double diffraction and family.
QStringList csvCaptions();

// The result table as CSV text: a byte-order mark, the caption line, then one line per row in the
// table's order: the twenty cell texts as shown, the zone "[u v w]", the misfit as shown, "※" for
// a row that uses double diffraction (else empty) and the family id (empty when none). Fields are
// separated by commas, quoted when they hold a comma, a quote or a line break, and every line
// ends with CR LF. Encode with toUtf8().
QString resultCsv(const model::ResultTableModel& table);

// One CSV field: quoted, with its quotes doubled, when it holds a comma, a quote, CR or LF.
QString csvField(const QString& text);

}  // namespace saed::indexing
