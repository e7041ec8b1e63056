// SPDX-License-Identifier: BSD-3-Clause
#include "app/cli/resultfile.h"

#include <cmath>  // for fabs, round, INFINITY, NAN

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace saed::cli {

namespace {

struct ResultFileTexts {
    Q_DECLARE_TR_FUNCTIONS(saed::cli::ResultFile)
};

// A result file holds a few hundred bytes per row; the run's row limit keeps it far below this.
constexpr qint64 kMaxResultBytes = qint64(1) << 30;

template <typename Array>
bool readWhole(const QJsonValue& value, Array& out) {
    const QJsonArray array = value.toArray();
    if (array.size() != static_cast<qsizetype>(out.size())) return false;
    for (qsizetype i = 0; i < array.size(); ++i) {
        const double v = array[i].toDouble(NAN);
        if (!array[i].isDouble() || v != std::round(v) || std::fabs(v) > 1e6) return false;
        out[static_cast<std::size_t>(i)] = static_cast<typename Array::value_type>(v);
    }
    return true;
}

}  // namespace

std::optional<ResultFile> readResultFile(const QString& path, QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = ResultFileTexts::tr("无法读取 %1：%2").arg(path, file.errorString());
        return std::nullopt;
    }
    if (file.size() > kMaxResultBytes) {
        error = ResultFileTexts::tr("%1 太大，不像是标定结果").arg(path);
        return std::nullopt;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (document.isNull() || !document.isObject()) {
        error = ResultFileTexts::tr("%1 不是 JSON：%2").arg(path, parseError.errorString());
        return std::nullopt;
    }
    const QJsonObject root = document.object();
    const QJsonObject input = root[u"input"].toObject();
    const QJsonArray cell = input[u"cell"].toArray();
    const QJsonArray rows = root[u"rows"].toArray();
    if (cell.size() != 6 || !root[u"rows"].isArray()) {
        error = ResultFileTexts::tr("%1 不是 saedindex-cli index --format json 写出的标定结果（缺少 input.cell 或 rows）")
                    .arg(path);
        return std::nullopt;
    }
    ResultFile result;
    result.cell = {cell[0].toDouble(), cell[1].toDouble(), cell[2].toDouble(),
                   cell[3].toDouble(), cell[4].toDouble(), cell[5].toDouble()};
    result.type = input[u"type"].toInt(-1);
    result.spaceGroup = input[u"spaceGroup"].toString();
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QJsonObject row = rows[i].toObject();
        calculator::IndexedSolution s;
        s.group = row[u"group"].toInt(static_cast<int>(i) + 1);
        s.family = row[u"family"].toInt(0);
        s.misfit = row[u"misfit"].isDouble() ? row[u"misfit"].toDouble() : INFINITY;
        if (!readWhole(row[u"g1"], s.g1) || !readWhole(row[u"g2"], s.g2) || !readWhole(row[u"zone"], s.zone)) {
            error = ResultFileTexts::tr("%1：第 %2 行的 g1、g2 或 zone 不是整数指数").arg(path).arg(i + 1);
            return std::nullopt;
        }
        result.rows.push_back(s);
    }
    for (const QJsonValue value : root[u"families"].toArray()) {
        core::Uvw zone{};
        if (readWhole(value[u"zone"], zone)) result.familyZones[value[u"id"].toInt()] = zone;
    }
    return result;
}

bool samePhase(const ResultFile& a, const ResultFile& b) {
    const auto close = [](double x, double y) { return std::fabs(x - y) <= 1e-9 * std::fmax(1.0, std::fabs(x)); };
    return close(a.cell.aNm, b.cell.aNm) && close(a.cell.bNm, b.cell.bNm) && close(a.cell.cNm, b.cell.cNm) &&
           close(a.cell.alphaDeg, b.cell.alphaDeg) && close(a.cell.betaDeg, b.cell.betaDeg) &&
           close(a.cell.gammaDeg, b.cell.gammaDeg) && a.type == b.type && a.spaceGroup == b.spaceGroup;
}

}  // namespace saed::cli
