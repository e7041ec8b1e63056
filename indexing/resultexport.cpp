// SPDX-License-Identifier: BSD-3-Clause
#include "indexing/resultexport.h"

#include <algorithm>  // for stable_sort
#include <cmath>      // for isfinite

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>

#include "core/millerbravais.h"
#include "indexing/indexingoperations.h"
#include "model/fields.h"
#include "model/mainmodel.h"
#include "model/resulttablemodel.h"

namespace saed::indexing {

namespace {

using model::Field;

QJsonArray numbers(const model::MainModel& model, std::initializer_list<Field> fields) {
    QJsonArray array;
    for (Field f : fields) array.append(model.value(f));
    return array;
}

QJsonArray indices(const core::Hkl& p) { return QJsonArray{p[0], p[1], p[2]}; }

QJsonArray axis(const core::Uvw& u) {
    return QJsonArray{static_cast<qint64>(u[0]), static_cast<qint64>(u[1]), static_cast<qint64>(u[2])};
}

QJsonArray fourIndices(const core::Hkl& p) {
    const core::Hkil four = core::toFourIndex(p);
    return QJsonArray{four[0], four[1], four[2], four[3]};
}

QJsonArray fourIndexAxis(const core::Uvw& u) {
    const core::Uvtw four = core::toFourIndex(u);
    return QJsonArray{static_cast<qint64>(four[0]), static_cast<qint64>(four[1]), static_cast<qint64>(four[2]),
                      static_cast<qint64>(four[3])};
}

// A number, or null for NaN (JSON has no NaN) and infinity.
QJsonValue finiteOrNull(double v) { return std::isfinite(v) ? QJsonValue(v) : QJsonValue(); }

// A caption marked with QT_TRANSLATE_NOOP where it is written, translated here.
QString caption(const char* text) { return QCoreApplication::translate("ResultExport", text); }

}  // namespace

std::vector<RankedFamily> rankFamilies(const FamilyGrouping& grouping,
                                       const std::optional<std::vector<std::optional<double>>>& matchOfId) {
    std::vector<RankedFamily> ranked;
    ranked.reserve(grouping.families.size());
    for (const SolutionFamily& f : grouping.families) {
        RankedFamily line{f, std::nullopt};
        const auto slot = static_cast<std::size_t>(f.id - 1);
        if (matchOfId && slot < matchOfId->size()) line.match = (*matchOfId)[slot];
        ranked.push_back(line);
    }
    // grouping.families is already by misfit; a stable sort by match keeps that among equals.
    if (matchOfId)
        std::stable_sort(ranked.begin(), ranked.end(), [](const RankedFamily& a, const RankedFamily& b) {
            return a.match.value_or(-1) > b.match.value_or(-1);
        });
    return ranked;
}

QJsonObject resultJson(const model::MainModel& model, const IndexingOperations& operations, PatternInput pattern,
                       const std::vector<RankedFamily>& families) {
    QJsonObject input;
    input.insert(QStringLiteral("cell"),
                 numbers(model, {Field::A, Field::B, Field::C, Field::Alpha, Field::Beta, Field::Gamma}));
    input.insert(QStringLiteral("type"), core::latticeTypeCode(model.Combo1()));
    if (!model.spaceGroupText().isEmpty()) input.insert(QStringLiteral("spaceGroup"), model.spaceGroupText());
    input.insert(QStringLiteral("double"), model.flag(model::Flag::DoubleDiffraction));
    // The range the run searched: the field's number brought to the nearest whole one.
    input.insert(QStringLiteral("range"), readIndexingInput(model).rangeN);
    if (pattern == PatternInput::Spacings) {
        input.insert(QStringLiteral("d"), numbers(model, {Field::SegmentsR1, Field::SegmentsR2, Field::SegmentsR3}));
    } else {
        input.insert(QStringLiteral("scale"), numbers(model, {Field::ScaleReading, Field::ScaleLength}));
        input.insert(QStringLiteral("r1"), numbers(model, {Field::LengthR1, Field::SegmentsR1}));
        input.insert(QStringLiteral("r2"), numbers(model, {Field::LengthR2, Field::SegmentsR2}));
        input.insert(QStringLiteral("r3"), numbers(model, {Field::LengthR3, Field::SegmentsR3}));
    }
    input.insert(QStringLiteral("angles"), numbers(model, {Field::AngleR1R2, Field::AngleR2R3, Field::AngleR1R3}));
    input.insert(QStringLiteral("tolD"), numbers(model, {Field::TolD1, Field::TolD2, Field::TolD3}));
    input.insert(QStringLiteral("tolAngle"), numbers(model, {Field::TolAngle12, Field::TolAngle23, Field::TolAngle13}));

    const std::array<double, 3> d = measuredSpacings(model);
    const QJsonObject measured{{QStringLiteral("d1"), d[0]}, {QStringLiteral("d2"), d[1]}, {QStringLiteral("d3"), d[2]}};

    // The table may be sorted by any column: find each group's row once.
    const model::ResultTableModel& table = *model.resultTable();
    std::vector<std::optional<ResultRow>> rowOfGroup(static_cast<std::size_t>(table.rowCount()));
    for (int r = 0; r < table.rowCount(); ++r) {
        const auto g = static_cast<std::size_t>(table.group(r) - 1);
        if (g < rowOfGroup.size()) rowOfGroup[g] = table.resultRow(r);
    }

    // A hexagonal cell's planes and axes are also given in four indices (h k i l), [U V T W].
    const bool hexagonal = core::isHexagonalCell(core::Cell{model.value(Field::A), model.value(Field::B),
                                                            model.value(Field::C), model.value(Field::Alpha),
                                                            model.value(Field::Beta), model.value(Field::Gamma)});
    QJsonArray rows;
    const std::vector<int>& familyOfRow = operations.lastFamilies().familyOfRow;
    const std::vector<double>& misfits = operations.lastMisfits();
    for (std::size_t g = 0; g < rowOfGroup.size(); ++g) {
        if (!rowOfGroup[g]) continue;
        const ResultRow& row = *rowOfGroup[g];
        QJsonObject object{
            {QStringLiteral("group"), static_cast<qint64>(g) + 1},
            {QStringLiteral("g1"), indices(row.g1)},
            {QStringLiteral("g2"), indices(row.g2)},
            {QStringLiteral("g3"), indices(row.g3)},
            {QStringLiteral("d"), QJsonArray{row.spacingNm[0], row.spacingNm[1], row.spacingNm[2]}},
            {QStringLiteral("angles"), QJsonArray{row.angleDeg[0], row.angleDeg[1], row.angleDeg[2]}},
            {QStringLiteral("zone"), axis(zoneOf(row))},
            {QStringLiteral("family"), g < familyOfRow.size() ? familyOfRow[g] : 0},
            {QStringLiteral("misfit"), g < misfits.size() ? finiteOrNull(misfits[g]) : QJsonValue()},
            {QStringLiteral("double"), row.doubleDiffraction},
        };
        if (hexagonal) {
            object.insert(QStringLiteral("hkil"), QJsonArray{fourIndices(row.g1), fourIndices(row.g2), fourIndices(row.g3)});
            object.insert(QStringLiteral("uvtw"), fourIndexAxis(zoneOf(row)));
        }
        rows.append(object);
    }
    QJsonArray familyArray;
    for (const RankedFamily& line : families) {
        const std::size_t g = line.family.representative;
        if (g >= rowOfGroup.size() || !rowOfGroup[g]) continue;
        const ResultRow& representative = *rowOfGroup[g];
        QJsonObject object{
            {QStringLiteral("id"), line.family.id},
            {QStringLiteral("zone"), axis(line.family.zone)},
            {QStringLiteral("hkl"),
             QJsonArray{indices(representative.g1), indices(representative.g2), indices(representative.g3)}},
            {QStringLiteral("group"), static_cast<qint64>(g) + 1},
            {QStringLiteral("rows"), static_cast<qint64>(line.family.rowCount)},
            {QStringLiteral("misfit"), finiteOrNull(line.family.misfit)},
            {QStringLiteral("match"), line.match ? QJsonValue(*line.match) : QJsonValue()},
        };
        if (hexagonal) {
            object.insert(QStringLiteral("hkil"), QJsonArray{fourIndices(representative.g1), fourIndices(representative.g2),
                                                             fourIndices(representative.g3)});
            object.insert(QStringLiteral("uvtw"), fourIndexAxis(line.family.zone));
        }
        familyArray.append(object);
    }
    return QJsonObject{{QStringLiteral("input"), input},
                       {QStringLiteral("measured"), measured},
                       {QStringLiteral("count"), rows.size()},
                       {QStringLiteral("rows"), rows},
                       {QStringLiteral("families"), familyArray}};
}

QByteArray jsonBytes(const QJsonObject& object) { return QJsonDocument(object).toJson(QJsonDocument::Indented); }

QStringList csvCaptions() {
    return {caption(QT_TRANSLATE_NOOP("ResultExport", "组号")),
            QStringLiteral("h1"), QStringLiteral("k1"), QStringLiteral("l1"), QStringLiteral("+"),
            QStringLiteral("h2"), QStringLiteral("k2"), QStringLiteral("l2"), QStringLiteral("\uFF1D"),
            QStringLiteral("h3"), QStringLiteral("k3"), QStringLiteral("l3"), QStringLiteral("\u25C7"),
            QStringLiteral("d1 (nm)"), QStringLiteral("d2 (nm)"), QStringLiteral("d3 (nm)"), QStringLiteral("\u25C7"),
            QStringLiteral("<R1,R2> (\u00B0)"), QStringLiteral("<R2,R3> (\u00B0)"), QStringLiteral("<R1,R3> (\u00B0)"),
            caption(QT_TRANSLATE_NOOP("ResultExport", "晶带轴")),
            caption(QT_TRANSLATE_NOOP("ResultExport", "失配度")),
            caption(QT_TRANSLATE_NOOP("ResultExport", "二次衍射")),
            caption(QT_TRANSLATE_NOOP("ResultExport", "解族"))};
}

QString csvField(const QString& text) {
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\r') && !text.contains(u'\n')) return text;
    QString quoted = text;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QString resultCsv(const model::ResultTableModel& table) {
    using model::ResultTableModel;
    const QString lineEnd = QStringLiteral("\r\n");
    QString text(QChar(0xFEFF));
    auto appendLine = [&text, &lineEnd](const QStringList& fields) {
        for (qsizetype i = 0; i < fields.size(); ++i) {
            if (i > 0) text += u',';
            text += csvField(fields[i]);
        }
        text += lineEnd;
    };
    appendLine(csvCaptions());
    // Rows given as texts (no run behind them) leave the last four fields empty.
    for (int r = 0; r < table.rowCount(); ++r) {
        QStringList fields;
        fields.reserve(ResultTableModel::kColumns + 4);
        // Captions and labels in the reader's language, as the table shows them ("#001" in English).
        fields.push_back(ResultTableModel::shownGroupLabel(table.cell(r, 0)));
        for (int c = 1; c < ResultTableModel::kColumns; ++c) fields.push_back(table.cell(r, c));
        const int family = table.family(r);
        fields << table.cell(r, ResultTableModel::kZoneColumn) << table.cell(r, ResultTableModel::kMisfitColumn)
               << (table.usesDoubleDiffraction(r) ? QStringLiteral("\u203B") : QString())
               << (family > 0 ? QString::number(family) : QString());
        appendLine(fields);
    }
    return text;
}

}  // namespace saed::indexing
